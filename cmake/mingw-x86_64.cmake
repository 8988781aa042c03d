# 64-bit Windows build of the same sources, used to run the Windows tests
# under wine64 on machines whose kernel runs no 32-bit code (where the
# 32-bit Wine cannot start). The program we ship is the 32-bit build.
set(VEXLORE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
