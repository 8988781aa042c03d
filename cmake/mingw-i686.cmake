# Cross build for 32-bit Windows with MinGW-w64. The POSIX-thread compilers
# are used because GoogleTest needs std::mutex. Test programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# SSE2, which every processor that runs a current Windows has, lets the
# word scan look at sixteen bytes at a time.
set(CMAKE_C_FLAGS_INIT "-msse2")
set(CMAKE_CXX_FLAGS_INIT "-msse2")

# Everything links statically: the programs need no DLL beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
