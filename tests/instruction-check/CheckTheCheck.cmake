# Runs the instruction check on a fixture DLL that it must refuse, and fails
# unless each refusal is named and nothing it must let pass is refused.
#   cmake -DCHECK=<CheckInstructions.cmake> -DOBJDUMP=... -DOBJCOPY=...
#         -DDATA=<cmake/processors> -DGUARDED=<fixture list> -DFIXTURE=<dll>
#         -DWORK=<folder> -P CheckTheCheck.cmake
# The fixture's shipped forms: a stripped copy, whose code is the same, and
# a copy whose code section keeps its name, size and address and has its
# bytes shuffled.
cmake_minimum_required(VERSION 3.25)
get_filename_component(name "${FIXTURE}" NAME)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/stripped" "${WORK}/altered")
execute_process(COMMAND ${OBJCOPY} --strip-all ${FIXTURE} ${WORK}/stripped/${name} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJCOPY} --strip-all ${FIXTURE} failed (${rc})")
endif()
foreach(step
    "-O;binary;--only-section=.text;${FIXTURE};${WORK}/code.bin"
    "-I;binary;-O;binary;--reverse-bytes=4;${WORK}/code.bin;${WORK}/shuffled.bin"
    "--update-section;.text=${WORK}/shuffled.bin;${FIXTURE};${WORK}/altered/${name}")
  execute_process(COMMAND ${OBJCOPY} ${step} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJCOPY} ${step} failed (${rc})")
  endif()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${OBJDUMP} -DOBJCOPY=${OBJCOPY} -DDATA=${DATA}
                        -DGUARDED=${GUARDED} -DBINARIES=${FIXTURE} "-DSHIPPED=${WORK}/stripped|${WORK}/altered"
                        -DWORK=${WORK}/check -P ${CHECK}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(all "${out}${err}")
string(REGEX REPLACE "[ \n]+" " " all "${all}")
if(rc EQUAL 0)
  message(FATAL_ERROR "the check passed a DLL it must refuse:\n${all}")
endif()
foreach(expected
    "${name}: Smallest: cmov[a-z]+ x1 \\(CMOVcc, Pentium Pro, first at [0-9a-f]+\\): Windows 95, 98, NT 4.0, 2000 cannot run it"
    "${name}: ReadsProcessorUnguarded: cpuid x1 \\(CPUID, Pentium, first at [0-9a-f]+\\): CPUID without an ID-flag test: a 386 or early 486 faults, Windows 95, 98, NT 4.0 cannot run it"
    "${name}: a TLS directory \\(Thread Storage Directory, [0-9]+ bytes at RVA 0x[0-9a-f]+\\): Windows 95 fails LoadLibrary"
    "${name} \\(stripped\\): a TLS directory"
    "${name} \\(stripped\\): section name .fixturedata is 12 characters"
    "${name} \\(altered\\): code differs from the build's \\(.text holds other bytes than the build's\\)"
    "${name}: [0-9]+ instructions checked in [0-9]+ functions, [0-9]+ lines of linker tables skipped as data; [0-9]+ failing [^;]*; 1 in listed functions, 2 CPUID after an ID-flag test"
    "${name}: [0-9]+ instructions the 486 has and Windows 95's least processor lacks \\([^)]*XADD 1\\), not failed, in: [^-]*CountsUp")
  if(NOT all MATCHES "${expected}")
    message(FATAL_ERROR "the check did not say \"${expected}\":\n${all}")
  endif()
endforeach()
# Refused for none of what it must let pass; the stripped copy's code is the
# build's.
foreach(unexpected
    ": ReadsProcessorGuarded:" ": ListedTimestamp:" ": <\\.gcc_except_table" ": \\.gcc_except_table"
    "${name} \\(stripped\\): code differs")
  if(all MATCHES "${unexpected}")
    message(FATAL_ERROR "the check refused what it must let pass (\"${unexpected}\"):\n${all}")
  endif()
endforeach()
message(STATUS "instruction check: the fixture was refused for CMOV, an unguarded CPUID, its TLS directory, a long section name and a copy with other code bytes, and for nothing else of its own")
