# 64-bit Windows build with Debian's mingw-w64 (win32 threads). Test programs
# of this architecture run under wine64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QEL_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
