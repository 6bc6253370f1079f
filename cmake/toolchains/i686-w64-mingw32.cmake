# 32-bit Windows build with Debian's mingw-w64 (win32 threads): the shipped
# deliverable. Its test programs run under 32-bit Wine, which needs qemu's
# i386 emulator here (cmake/with-i386.sh).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QEL_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
