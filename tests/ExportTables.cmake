# The tree's DLLs export exactly the names listed under cmake/exports, for
# the architecture this tree builds.
set(QEL_EXPORT_LISTS ${PROJECT_SOURCE_DIR}/cmake/exports)

function(qel_add_export_check dll arch dll_file objdump)
  set(list ${QEL_EXPORT_LISTS}/${dll}.${arch}.txt)
  if(NOT EXISTS ${list})
    set(list ${QEL_EXPORT_LISTS}/${dll}.txt)
  endif()
  add_test(NAME exports-${dll}-${arch}
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${objdump} -DDLL=${dll_file} -DEXPECTED=${list}
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckExports.cmake)
endfunction()

foreach(dll QELPrinter QELSystemExt)
  qel_add_export_check(${dll} ${CMAKE_SYSTEM_PROCESSOR} $<TARGET_FILE:${dll}> ${CMAKE_OBJDUMP})
endforeach()

# What the shipped binaries import, against cmake/imports: one test per tree.
add_test(NAME imports-${CMAKE_SYSTEM_PROCESSOR}
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DARCH=${CMAKE_SYSTEM_PROCESSOR}
          -DMANIFESTS=${PROJECT_SOURCE_DIR}/cmake/imports
          "-DBINARIES=$<TARGET_FILE:QELPrinter>|$<TARGET_FILE:QELSystemExt>|$<TARGET_FILE:QELHost>"
          -P ${PROJECT_SOURCE_DIR}/cmake/CheckImports.cmake)
