# Debian's own i686 compiler and runtime, whose code is for the Pentium Pro:
# what a host developer builds with, and what the deliverable was built with
# before it was built for the i486. For the hosts of the installed-host test
# and for measuring the one build against the other (tools/bench.sh
# --processors); nothing ships from it.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QEL_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
