# The QEL DLLs for a host built with CMake, from the install tree or the
# unpacked package of one architecture:
#   find_package(QEL 1.0 REQUIRED)
#   target_link_libraries(host PRIVATE QEL::QELSystemExt)
# QEL::QELPrinter and QEL::QELSystemExt carry the import library, the DLL
# ($<TARGET_FILE:QEL::QELSystemExt>, to copy beside the host) and the
# include folder. QELConfigVersion.cmake refuses a tree of the other
# architecture (its pointer size differs from the host's); QELTargets.cmake
# stops with the name of any file it points at that is missing.
include(${CMAKE_CURRENT_LIST_DIR}/QELTargets.cmake)
