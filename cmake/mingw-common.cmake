# What both MinGW toolchain files share; WRANG_MINGW_TRIPLE names the target.
set(CMAKE_C_COMPILER ${WRANG_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WRANG_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${WRANG_MINGW_TRIPLE}-windres)
set(WRANG_WIDL ${WRANG_MINGW_TRIPLE}-widl CACHE STRING "IDL compiler")
set(WRANG_IDL_INCLUDE /usr/include/wine/wine/windows CACHE PATH "Directory of oaidl.idl")
# The type library imports stdole2.tlb; Wine's copy of either architecture will do, since the
# import names the library by its identifier, not by its file.
find_path(WRANG_IDL_LIBRARIES stdole2.tlb
  PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/i386-linux-gnu/wine/i386-windows
        /usr/lib/wine/x86_64-windows /usr/lib/wine/i386-windows
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
set(CMAKE_FIND_ROOT_PATH /usr/${WRANG_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The test programs run under Wine's loader of the target's bitness: Debian's `wine` picks the
# 32-bit loader whenever it is installed, which cannot start a 64-bit program in a 64-bit prefix
# of its own accord on every host.
if(WRANG_MINGW_TRIPLE MATCHES "^x86_64")
  set(WRANG_WINE_NAMES wine64 wine)
else()
  set(WRANG_WINE_NAMES wine)
endif()
find_program(WRANG_WINE NAMES ${WRANG_WINE_NAMES} PATHS /usr/lib/wine /usr/bin NO_DEFAULT_PATH
             NO_CMAKE_FIND_ROOT_PATH)
set(CMAKE_CROSSCOMPILING_EMULATOR ${WRANG_WINE} CACHE STRING "Runs the Windows test programs")
