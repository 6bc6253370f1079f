# 64-bit Windows build with Debian's mingw-w64 (posix threads). Test programs
# of this architecture run under wine64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QEL_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER   ${QEL_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QEL_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${QEL_TRIPLET}-windres)
set(CMAKE_OBJDUMP      ${QEL_TRIPLET}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${QEL_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
