# 32-bit Windows build with Debian's mingw-w64 (posix threads): the shipped
# deliverable. Nothing of this architecture runs here (wine64 has no 32-bit
# support and exits 0 without running such a program), so there is no emulator.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QEL_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
