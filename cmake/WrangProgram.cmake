# wrang_windows_program(TARGET [WARNINGS] [TYPELIB])
# What every Windows program and library of the project shares, said once: the system headers'
# definitions, the static runtime (a program or DLL of ours imports nothing but system DLLs, so
# that it runs under Wine and on a bare system alike), with WARNINGS the project's warnings, and
# with TYPELIB the type library as resource TYPELIB 1 (a module that hands out objects, or reads
# its own library, carries it).
function(wrang_windows_program target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "WARNINGS;TYPELIB" "" "")
  target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  if(ARG_WARNINGS)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${WRANG_WARNINGS}>)
  endif()
  get_target_property(type ${target} TYPE)
  if(NOT MSVC AND NOT type STREQUAL STATIC_LIBRARY)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
  if(ARG_TYPELIB)
    target_sources(${target} PRIVATE ${WRANG_TYPELIB_RC})
    set_source_files_properties(${WRANG_TYPELIB_RC} TARGET_DIRECTORY ${target} PROPERTIES
      OBJECT_DEPENDS ${PROJECT_BINARY_DIR}/Wrang.tlb
      INCLUDE_DIRECTORIES ${PROJECT_BINARY_DIR})
    add_dependencies(${target} wrang_typelib)
  endif()
endfunction()
