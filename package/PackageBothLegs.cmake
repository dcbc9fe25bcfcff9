# Read by cpack when it runs (CPACK_PROJECT_CONFIG_FILE): the package holds this build and the
# other leg's build, which must be built already. Without it cpack stops and says what to do.
if(NOT EXISTS "${CPACK_WRANG_OTHER_BUILD_DIR}/Wrang.dll" OR
   NOT EXISTS "${CPACK_WRANG_OTHER_BUILD_DIR}/cmake_install.cmake")
  message(FATAL_ERROR "The package holds both bitnesses, but there is no ${CPACK_WRANG_OTHER_ARCH} build in "
                      "${CPACK_WRANG_OTHER_BUILD_DIR}: build that leg first (scripts/package.sh builds both), "
                      "or name its folder with -DWRANG_OTHER_BUILD_DIR=...")
endif()
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CPACK_WRANG_OTHER_BUILD_DIR};Wrang;ALL;/;${CPACK_WRANG_THIS_BUILD_DIR};Wrang;ALL;/")
