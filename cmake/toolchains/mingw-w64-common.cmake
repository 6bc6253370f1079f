# What both mingw-w64 toolchains share; the including file sets QEL_TRIPLET.
set(CMAKE_SYSTEM_NAME Windows)

# The win32-threads compilers, not the posix ones: with -static the posix
# runtime brings winpthread, which imports GetTickCount64 (Windows Vista),
# AddVectoredExceptionHandler (XP) and TryEnterCriticalSection (NT only), so
# Windows 95/98, NT 4 and 2000 would refuse to load our DLLs. The win32
# runtime imports nothing they lack (cmake/imports/ holds what each shipped
# binary imports, and a test checks it). It has no std::thread or std::mutex,
# which the product does not use.
# Debian's own compiler, as a host developer has it, and a toolchain file
# for it (the installed-host test builds its hosts with them; the i686 tree
# itself uses another compiler).
set(QEL_DEBIAN_CXX ${QEL_TRIPLET}-g++-win32)
set(QEL_DEBIAN_TOOLCHAIN ${CMAKE_CURRENT_LIST_DIR}/${QEL_TRIPLET}.cmake)
set(CMAKE_C_COMPILER   ${QEL_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${QEL_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER  ${QEL_TRIPLET}-windres)
set(CMAKE_OBJDUMP      ${QEL_TRIPLET}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${QEL_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
