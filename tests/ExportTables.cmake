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
string(REGEX MATCH "^[0-9]+" gcc_major "${CMAKE_CXX_COMPILER_VERSION}")
add_test(NAME imports-${CMAKE_SYSTEM_PROCESSOR}
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DARCH=${CMAKE_SYSTEM_PROCESSOR} -DGCC=${gcc_major}
          -DMANIFESTS=${PROJECT_SOURCE_DIR}/cmake/imports
          "-DBINARIES=$<TARGET_FILE:QELPrinter>|$<TARGET_FILE:QELSystemExt>|$<TARGET_FILE:QELHost>"
          -P ${PROJECT_SOURCE_DIR}/cmake/CheckImports.cmake)

# The check itself, on a DLL it must refuse (an import too new for every
# target, an import by ordinal the manifest lacks, a stale entry). Built
# without the runtime, so it imports nothing else.
set(import_check ${CMAKE_CURRENT_SOURCE_DIR}/import-check)
add_library(OrdinalExporter SHARED ${import_check}/OrdinalExporter.c ${import_check}/OrdinalExporter.def)
add_library(ImportCheckFixture SHARED ${import_check}/ImportCheckFixture.c)
foreach(fixture OrdinalExporter ImportCheckFixture)
  set_target_properties(${fixture} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/import-check)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${fixture} PRIVATE -nostdlib -Wl,-e,_DllMainCRTStartup@12)
  else()
    target_link_options(${fixture} PRIVATE -nostdlib -Wl,-e,DllMainCRTStartup)
  endif()
endforeach()
target_link_libraries(ImportCheckFixture PRIVATE OrdinalExporter kernel32)
add_test(NAME imports-check-refuses
  COMMAND ${CMAKE_COMMAND} -DCHECK=${PROJECT_SOURCE_DIR}/cmake/CheckImports.cmake -DOBJDUMP=${CMAKE_OBJDUMP}
          -DARCH=${CMAKE_SYSTEM_PROCESSOR} -DMANIFESTS=${import_check}
          -DREFUSED=${PROJECT_SOURCE_DIR}/cmake/imports/refused.txt -DFIXTURE=$<TARGET_FILE:ImportCheckFixture>
          -P ${import_check}/CheckTheCheck.cmake)
