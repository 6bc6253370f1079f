# 32-bit Windows build: the shipped deliverable. Its test programs run under
# 32-bit Wine, which needs qemu's i386 emulator here (cmake/with-i386.sh).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QEL_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# Compiled for the i486, the runtime included. Debian's i686 compiler and the
# runtime archives it links in statically default to the Pentium Pro: their
# CMOVcc, FCOMI and 0F 1F NOP instructions stop a 486 or Pentium (the
# processors of Windows 95/98 and NT 4, and many of 2000's) with an illegal
# instruction the first time our string or registry code runs. Only the
# target processor differs from Debian's compiler: the same GCC and mingw-w64
# sources and configuration, so the same ABI for hosts built with Debian's
# compiler. tools/build-i486-runtime.sh builds it once per machine (setup.sh
# calls it); test `instructions-i686` reads the shipped binaries for what a
# 486 lacks.
get_filename_component(QEL_I486_TOOLCHAIN ${CMAKE_CURRENT_LIST_DIR}/../../build/tools/i486 REALPATH)
if(NOT EXISTS ${QEL_I486_TOOLCHAIN}/bin/${QEL_TRIPLET}-g++-win32)
  message(FATAL_ERROR "The i486 compiler is not built (build/tools/i486): run sh tools/setup.sh, which builds it with tools/build-i486-runtime.sh")
endif()
set(QEL_DEBIAN_TOOLCHAIN ${CMAKE_CURRENT_LIST_DIR}/${QEL_TRIPLET}-debian.cmake)
set(CMAKE_C_COMPILER   ${QEL_I486_TOOLCHAIN}/bin/${QEL_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${QEL_I486_TOOLCHAIN}/bin/${QEL_TRIPLET}-g++-win32)
list(PREPEND CMAKE_FIND_ROOT_PATH ${QEL_I486_TOOLCHAIN}/${QEL_TRIPLET})
# A tree configured with another build of it (its sources or this machine's
# packages changed since) must start afresh, so that every object is
# compiled again: the scripts then configure with --fresh.
if(DEFINED CACHE{QEL_I486_TOOLCHAIN_OF_TREE} AND NOT QEL_I486_TOOLCHAIN_OF_TREE STREQUAL QEL_I486_TOOLCHAIN)
  message(FATAL_ERROR "This tree was configured with the i486 compiler in ${QEL_I486_TOOLCHAIN_OF_TREE}, now ${QEL_I486_TOOLCHAIN}: configure it afresh (cmake --preset i686 --fresh)")
endif()
set(QEL_I486_TOOLCHAIN_OF_TREE ${QEL_I486_TOOLCHAIN} CACHE INTERNAL "The i486 compiler this tree was configured with")
