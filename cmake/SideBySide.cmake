# Use without registration, and the DLL's version: the side-by-side assembly manifest that ships
# beside Wrang.dll and the version resource inside it. Both take their version from the type
# library's source (major.minor) and a build number; include this after the Wrang target.
#   WRANG_BUILD_NUMBER   third part of the file and assembly version; by default the number of
#                        commits, so that two builds of different sources differ.
#   WRANG_ASSEMBLY_NAME  the assembly a client's manifest names, file WRANG_MANIFEST in the build.
file(STRINGS ${WRANG_IDL} wrang_idl_version REGEX "^[ \t]*version\\([0-9]+\\.[0-9]+\\)" LIMIT_COUNT 1)
string(REGEX MATCH "([0-9]+)\\.([0-9]+)" _ "${wrang_idl_version}")
set(WRANG_VERSION_MAJOR ${CMAKE_MATCH_1})
set(WRANG_VERSION_MINOR ${CMAKE_MATCH_2})
if(NOT DEFINED WRANG_BUILD_NUMBER)
  find_package(Git QUIET)
  set(WRANG_BUILD_NUMBER 0)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-list --count HEAD WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE wrang_commits OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(wrang_commits MATCHES "^[0-9]+$")
      set(WRANG_BUILD_NUMBER ${wrang_commits})
    endif()
  endif()
endif()
if(NOT WRANG_BUILD_NUMBER MATCHES "^[0-9]+$" OR WRANG_BUILD_NUMBER GREATER 65535)
  message(FATAL_ERROR "WRANG_BUILD_NUMBER must be a number from 0 to 65535, not '${WRANG_BUILD_NUMBER}'")
endif()
set(WRANG_FILE_VERSION ${WRANG_VERSION_MAJOR}.${WRANG_VERSION_MINOR}.${WRANG_BUILD_NUMBER}.0)

# The version resource: numbers and the build's architecture come from a generated header.
math(EXPR wrang_bits "${CMAKE_SIZEOF_VOID_P} * 8")
file(CONFIGURE OUTPUT ${WRANG_GENERATED}/WrangVersion.h CONTENT [[
#define WRANG_VERSION_NUMBERS @WRANG_VERSION_MAJOR@,@WRANG_VERSION_MINOR@,@WRANG_BUILD_NUMBER@,0
#define WRANG_VERSION_TEXT "@WRANG_FILE_VERSION@"
#define WRANG_DESCRIPTION_TEXT "Wrang automation component (@WRANG_ARCH@, for @wrang_bits@-bit clients)"
]] @ONLY)
set_source_files_properties(frame/Version.rc PROPERTIES INCLUDE_DIRECTORIES ${WRANG_GENERATED}
  OBJECT_DEPENDS ${WRANG_GENERATED}/WrangVersion.h)
target_sources(Wrang PRIVATE frame/Version.rc)

# The assembly manifest, rewritten whenever the type library's source, the class table or the
# version changes.
set(WRANG_ASSEMBLY_NAME Wrang.SideBySide)
set(WRANG_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${WRANG_ASSEMBLY_NAME}.manifest)
if(WRANG_ARCH STREQUAL x64)
  set(wrang_manifest_arch amd64)
else()
  set(wrang_manifest_arch x86)
endif()
set(wrang_classes ${CMAKE_CURRENT_SOURCE_DIR}/frame/CreatableClasses.inc)
add_custom_command(OUTPUT ${WRANG_MANIFEST}
  COMMAND ${CMAKE_COMMAND} -DIDL=${WRANG_IDL} -DCLASSES=${wrang_classes} -DNAME=${WRANG_ASSEMBLY_NAME}
          -DVERSION=${WRANG_FILE_VERSION} -DARCH=${wrang_manifest_arch} -DOUT=${WRANG_MANIFEST}
          -P ${CMAKE_CURRENT_LIST_DIR}/WriteManifest.cmake
  DEPENDS ${WRANG_IDL} ${wrang_classes} ${CMAKE_CURRENT_LIST_DIR}/WriteManifest.cmake
          ${WRANG_GENERATED}/WrangVersion.h
  COMMENT "Writing the side-by-side manifest ${WRANG_ASSEMBLY_NAME}.manifest"
  VERBATIM)
add_custom_target(wrang_manifest ALL DEPENDS ${WRANG_MANIFEST})
add_dependencies(Wrang wrang_manifest)
install(FILES ${WRANG_MANIFEST} DESTINATION ${WRANG_ARCH})
