# Use without registration: a client program run in a fresh Wine prefix against the assembly
# (Wrang.dll and its side-by-side manifest) copied beside it, once through a context it activates
# at run time and once through its own manifest. The unit tests read the manifest and the version
# resource of the built DLL.
add_executable(wrang_regfree_client ${CMAKE_CURRENT_SOURCE_DIR}/regfree/RegFreeClient.cpp ${WRANG_GENERATED}/Wrang_i.c)
wrang_windows_program(wrang_regfree_client)
target_include_directories(wrang_regfree_client PRIVATE ${PROJECT_SOURCE_DIR} ${WRANG_GENERATED})
target_link_libraries(wrang_regfree_client PRIVATE oleaut32 ole32 uuid user32 advapi32)
target_link_options(wrang_regfree_client PRIVATE -municode)
set_target_properties(wrang_regfree_client PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
add_dependencies(wrang_regfree_client wrang_typelib)
add_dependencies(wrang_tests wrang_regfree_client wrang_manifest)
add_test(NAME regfree
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/regfree-test.sh ${CMAKE_BINARY_DIR} ${WRANG_ARCH} ${WRANG_ASSEMBLY_NAME})
set_tests_properties(regfree PROPERTIES
  ENVIRONMENT "WRANG_WINE=${CMAKE_CROSSCOMPILING_EMULATOR}" TIMEOUT 240
  PASS_REGULAR_EXPRESSION "ALL PASSED.*ALL PASSED" FAIL_REGULAR_EXPRESSION "FAIL")

target_compile_definitions(wrang_tests PRIVATE "WRANG_MANIFEST_NAME=L\"${WRANG_ASSEMBLY_NAME}.manifest\"")
target_link_libraries(wrang_tests PRIVATE version)
