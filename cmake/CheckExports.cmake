# Compares a DLL's export table with the list of names it must export.
#   cmake -DOBJDUMP=<objdump> -DDLL=<file.dll> -DEXPECTED=<list file> -P CheckExports.cmake
# The list holds one exported name per line; "#" starts a comment. Fails on a
# missing or an unexpected name.
foreach(var OBJDUMP DLL EXPECTED)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckExports: ${var} not set")
  endif()
endforeach()
if(NOT EXISTS "${DLL}")
  message(FATAL_ERROR "CheckExports: ${DLL} does not exist (was this architecture built?)")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "CheckExports: ${OBJDUMP} -p ${DLL} failed (${rc})")
endif()

# The name pointer table lists every exported name once, as
# "\t[   3] Name" (binutils 2.40) or "\t[   3] +base[   4]  0003 Name" with
# the ordinal and the hint (binutils 2.44). The table ends at the first empty
# line.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n([^\n]+\n)*" table "${dump}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" rows "${table}")
set(actual "")
foreach(row IN LISTS rows)
  string(REGEX REPLACE "^\\[ *[0-9]+\\] (\\+base\\[ *[0-9]+\\] +[0-9a-fA-F]+ +)?" "" name "${row}")
  string(STRIP "${name}" name)
  list(APPEND actual "${name}")
endforeach()

file(STRINGS "${EXPECTED}" lines)
set(expected "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "#.*" "" line "${line}")
  string(STRIP "${line}" line)
  if(line)
    list(APPEND expected "${line}")
  endif()
endforeach()

set(missing ${expected})
list(REMOVE_ITEM missing ${actual})
set(unexpected ${actual})
list(REMOVE_ITEM unexpected ${expected})
list(LENGTH actual count)
if(missing OR unexpected)
  list(JOIN missing "\n  " missing_text)
  list(JOIN unexpected "\n  " unexpected_text)
  message(FATAL_ERROR "${DLL}: export table differs from ${EXPECTED}\nmissing:\n  ${missing_text}\nunexpected:\n  ${unexpected_text}")
endif()
message(STATUS "${DLL}: ${count} exports, as listed")
