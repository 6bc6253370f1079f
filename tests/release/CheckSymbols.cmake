# The release's symbols as support staff use them: packs the tree (CPack
# refuses a symbols file of another build, naming it), then turns one
# export's address in the stripped DLL into its function and source file.
#   cmake -DCPACK=<cpack> -DCONFIG=<CPackConfig.cmake> -DWORK=<folder> -DOBJDUMP=<objdump> -DADDR2LINE=<addr2line>
#         -DDLL=<name.dll> -DEXPORT=<name> -DSOURCE=<file name> -P CheckSymbols.cmake
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND "${CPACK}" --config "${CONFIG}" -B "${WORK}" OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE rc)
file(GLOB archives "${WORK}/*.zip")
foreach(archive IN LISTS archives)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${archive}" WORKING_DIRECTORY "${WORK}")
endforeach()
file(GLOB dll "${WORK}/*/bin/${DLL}")
file(GLOB symbols "${WORK}/*-symbols/bin/${DLL}.debug")
if(NOT rc EQUAL 0 OR NOT dll OR NOT symbols)
  message(FATAL_ERROR "${DLL} and its symbols file were not packed in ${WORK}:\n${out}")
endif()
# What ships is stripped: the debug information lives in the symbols file.
execute_process(COMMAND "${OBJDUMP}" -h "${dll}" OUTPUT_VARIABLE sections)
if(sections MATCHES "\\.debug_")
  message(FATAL_ERROR "the packed ${dll} holds debug sections")
endif()
# A name's row ("[   3] Name"; binutils 2.44: "[   3] +base[   4]  0003 Name") is its address's row.
execute_process(COMMAND "${OBJDUMP}" -p "${dll}" OUTPUT_VARIABLE dump)
string(REGEX MATCH "\nImageBase[ \t]+([0-9a-fA-F]+)" ignored "${dump}")
set(base "${CMAKE_MATCH_1}")
string(REGEX MATCH "\t\\[ *([0-9]+)\\] (\\+base\\[ *[0-9]+\\] +[0-9a-fA-F]+ +)?${EXPORT}\n" ignored "${dump}")
string(REGEX MATCH "\t\\[ *${CMAKE_MATCH_1}\\] \\+base\\[ *[0-9]+\\] +([0-9a-fA-F]+) +Export RVA" ignored "${dump}")
if(NOT base OR NOT CMAKE_MATCH_1)
  message(FATAL_ERROR "${dll}: no image base or no row of ${EXPORT} in ${OBJDUMP} -p's output")
endif()
math(EXPR address "0x${base} + 0x${CMAKE_MATCH_1}" OUTPUT_FORMAT HEXADECIMAL)
execute_process(COMMAND "${ADDR2LINE}" -f -e "${symbols}" ${address} OUTPUT_VARIABLE where)
if(NOT where MATCHES "^${EXPORT}\n[^\n]*/${SOURCE}:[0-9]+\n")
  message(FATAL_ERROR "${symbols} gives for ${EXPORT} (${address}) not ${SOURCE} but:\n${where}")
endif()
