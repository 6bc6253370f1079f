# 32-bit Windows build with Debian's mingw-w64 (posix threads): the shipped
# deliverable. Nothing of this architecture runs here (wine64 has no 32-bit
# support and exits 0 without running such a program), so there is no emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QEL_TRIPLET i686-w64-mingw32)

set(CMAKE_C_COMPILER   ${QEL_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QEL_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${QEL_TRIPLET}-windres)
set(CMAKE_OBJDUMP      ${QEL_TRIPLET}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${QEL_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
