# Cross build for 32-bit Windows with MinGW-w64: the program we ship. Test
# programs run under Wine.
set(VEXLORE_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

# SSE2, which every processor that runs a current Windows has, lets the
# word scan look at sixteen bytes at a time.
set(CMAKE_C_FLAGS_INIT "-msse2")
set(CMAKE_CXX_FLAGS_INIT "-msse2")

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
