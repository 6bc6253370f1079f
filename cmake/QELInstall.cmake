# What a host developer gets: `cmake --install` lays out, for the tree's
# architecture,
#   bin/      QELPrinter.dll, QELSystemExt.dll and the host program QELHost.exe
#   lib/      the import libraries QELPrinter.lib and QELSystemExt.lib
#   include/  the public headers and the common-library headers they need
#   lib/cmake/QEL/  the CMake package: find_package(QEL) gives the imported
#             targets QEL::QELPrinter and QEL::QELSystemExt
# and CPack (`cmake --build --preset <arch> --target package`) packs that
# tree into one archive per architecture, with the binaries stripped, and
# their symbols files into a second archive beside it.

install(TARGETS QELPrinter QELSystemExt EXPORT QELTargets
  RUNTIME DESTINATION bin
  ARCHIVE DESTINATION lib
  INCLUDES DESTINATION include)
install(TARGETS QELHost RUNTIME DESTINATION bin)

install(FILES
  ${PROJECT_SOURCE_DIR}/include/QELPrinter.h
  ${PROJECT_SOURCE_DIR}/include/QELSystemExt.h
  # QELPrinter.h brings the exported time classes and the string type.
  ${PROJECT_SOURCE_DIR}/Common/CString.h
  ${PROJECT_SOURCE_DIR}/Common/CorvaneTimeApi.h
  ${PROJECT_SOURCE_DIR}/Common/SystemTime.h
  ${PROJECT_SOURCE_DIR}/Common/SystemFileTime.h
  ${PROJECT_SOURCE_DIR}/Common/AutoTimeStamp.h
  DESTINATION include)

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

# The version file compares the host's pointer size with this tree's, so a
# 32-bit host never takes the 64-bit tree, nor the other way round.
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/QELConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(EXPORT QELTargets NAMESPACE QEL:: DESTINATION lib/cmake/QEL)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/package/QELConfig.cmake ${CMAKE_BINARY_DIR}/QELConfigVersion.cmake
  DESTINATION lib/cmake/QEL)

set(CPACK_PACKAGE_NAME QEL)
set(CPACK_PACKAGE_VENDOR "${QEL_COMPANY}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "QELPrinter and QELSystemExt DLLs for the settings-migration host")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_GENERATOR ZIP)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/package/SymbolsArchive.cmake)
set(CPACK_QEL_SYMBOLS_DIR ${QEL_SYMBOLS_DIR})
set(CPACK_QEL_OBJDUMP ${CMAKE_OBJDUMP})
include(CPack)
