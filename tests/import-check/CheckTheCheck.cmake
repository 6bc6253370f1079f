# Runs the import check on a fixture DLL that it must refuse, and fails
# unless each refusal is named.
#   cmake -DCHECK=<CheckImports.cmake> -DOBJDUMP=... -DARCH=... -DMANIFESTS=<fixture folder>
#         -DREFUSED=<refused.txt> -DFIXTURE=<dll> -P CheckTheCheck.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${OBJDUMP} -DARCH=${ARCH} -DMANIFESTS=${MANIFESTS}
                        -DREFUSED=${REFUSED} -DBINARIES=${FIXTURE} -P ${CHECK}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(all "${out}${err}")
string(REGEX REPLACE "[ \n]+" " " all "${all}")
if(rc EQUAL 0)
  message(FATAL_ERROR "the check passed a DLL it must refuse:\n${all}")
endif()
foreach(expected
    "ImportCheckFixture.dll: imports KERNEL32.DLL GetTickCount64, which needs Windows Vista"
    "ImportCheckFixture.dll: imports ORDINALEXPORTER.DLL @17, which"
    "ImportCheckFixture.dll: KERNEL32.DLL Sleep is listed but no longer imported")
  string(FIND "${all}" "${expected}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the check did not say \"${expected}\":\n${all}")
  endif()
endforeach()
message(STATUS "import check: the fixture was refused for each of its three faults")
