# The shipped i686 binaries run on the processors of the Windows they target,
# as built and as `cmake --install --strip` and the package lay them out
# (cmake/CheckInstructions.cmake, reading cmake/processors/). Only the i686
# tree: the processors it lists are those of the 32-bit Windows.
if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  return()
endif()

add_test(NAME instructions-i686
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DOBJCOPY=${CMAKE_OBJCOPY}
          -DDATA=${PROJECT_SOURCE_DIR}/cmake/processors
          "-DBINARIES=$<TARGET_FILE:QELPrinter>|$<TARGET_FILE:QELSystemExt>|$<TARGET_FILE:QELHost>"
          -DTREE=${CMAKE_BINARY_DIR} -DCPACK=${CMAKE_CPACK_COMMAND} -DWORK=${CMAKE_BINARY_DIR}/instruction-check
          -P ${PROJECT_SOURCE_DIR}/cmake/CheckInstructions.cmake)

# The check itself, on a DLL built for the Pentium Pro that it must refuse.
set(instruction_check ${CMAKE_CURRENT_SOURCE_DIR}/instruction-check)
add_library(InstructionCheckFixture SHARED ${instruction_check}/InstructionCheckFixture.c)
set_target_properties(InstructionCheckFixture PROPERTIES PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/instruction-check-fixture)
target_compile_options(InstructionCheckFixture PRIVATE -march=pentiumpro -O2)
add_test(NAME instructions-check-refuses
  COMMAND ${CMAKE_COMMAND} -DCHECK=${PROJECT_SOURCE_DIR}/cmake/CheckInstructions.cmake
          -DOBJDUMP=${CMAKE_OBJDUMP} -DOBJCOPY=${CMAKE_OBJCOPY} -DDATA=${PROJECT_SOURCE_DIR}/cmake/processors
          -DGUARDED=${instruction_check}/guarded.txt -DFIXTURE=$<TARGET_FILE:InstructionCheckFixture>
          -DWORK=${CMAKE_BINARY_DIR}/instruction-check-fixture/work
          -P ${instruction_check}/CheckTheCheck.cmake)
