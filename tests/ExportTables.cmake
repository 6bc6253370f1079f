# Both architectures' DLLs export exactly the names listed under
# cmake/exports (the i686 tree is built by the same test command).
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
  qel_add_export_check(${dll} x86_64 $<TARGET_FILE:${dll}> ${CMAKE_OBJDUMP})
  if(QEL_I686_BINARY_DIR)
    qel_add_export_check(${dll} i686 ${QEL_I686_BINARY_DIR}/bin/${dll}.dll i686-w64-mingw32-objdump)
  endif()
endforeach()
