# Cross-building the core, the command line and the tests for 64-bit Windows
# with Debian's MinGW-w64 (the POSIX thread model), statically linked so that
# the programs need nothing but the system's own DLLs. The libraries built for
# Windows (libpng, giflib, GoogleTest) are looked for under MORVIK_WINDOWS_DEPS
# as well as in MinGW's own tree (zlib).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_morvik_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_morvik_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_morvik_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_morvik_triplet}-windres)

if(NOT MORVIK_WINDOWS_DEPS AND DEFINED ENV{MORVIK_WINDOWS_DEPS})
    set(MORVIK_WINDOWS_DEPS $ENV{MORVIK_WINDOWS_DEPS})
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${_morvik_triplet} ${MORVIK_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static archives only: no DLL beside the programs.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
# FindZLIB would take libz.dll.a, the import library of zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine, during test discovery too.
find_program(MORVIK_WINE NAMES wine64 wine)
if(MORVIK_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${MORVIK_WINE})
endif()
