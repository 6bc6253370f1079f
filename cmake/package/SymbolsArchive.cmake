# Run by CPack once it has packed the release: puts the symbols file of each
# packed binary into an archive of its own beside the package, laid out as
# the package is, and refuses a symbols file of another build:
#   QEL-<version>-<arch>.zip          QEL-<version>-<arch>/bin/QELPrinter.dll ...
#   QEL-<version>-<arch>-symbols.zip  QEL-<version>-<arch>-symbols/bin/QELPrinter.dll.debug ...

# A binary and its symbols file share the linker's build id, the signature
# of the CodeView record that objdump -p shows.
function(build_id file out)
  execute_process(COMMAND "${CPACK_QEL_OBJDUMP}" -p "${file}" OUTPUT_VARIABLE dump)
  string(REGEX MATCH "RSDS signature ([0-9a-fA-F]+)" ignored "${dump}")
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

set(name "${CPACK_PACKAGE_FILE_NAME}-symbols")
set(stage "${CPACK_TOPLEVEL_DIRECTORY}/symbols")
set(archive "${CPACK_PACKAGE_DIRECTORY}/${name}.zip")
file(REMOVE_RECURSE "${stage}")
# An earlier run's archive must not stay beside a package it does not match.
file(REMOVE "${archive}")
file(GLOB binaries "${CPACK_TEMPORARY_DIRECTORY}/bin/*.dll" "${CPACK_TEMPORARY_DIRECTORY}/bin/*.exe")
if(NOT binaries)
  message(FATAL_ERROR "no binaries in ${CPACK_TEMPORARY_DIRECTORY}/bin to keep the symbols of")
endif()
foreach(binary IN LISTS binaries)
  get_filename_component(file "${binary}" NAME)
  set(symbols "${CPACK_QEL_SYMBOLS_DIR}/${file}.debug")
  build_id("${binary}" id)
  set(symbols_id "")
  if(EXISTS "${symbols}")
    build_id("${symbols}" symbols_id)
  endif()
  if(NOT id OR NOT symbols_id STREQUAL id)
    # CPack would still put the package in place: no package without its
    # symbols.
    file(REMOVE ${CPACK_PACKAGE_FILES} "${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip")
    message(FATAL_ERROR "${symbols} is not the symbols file of the packed ${file}: "
                        "build id '${symbols_id}', the binary's '${id}' (rebuild the tree, then pack it)")
  endif()
  file(COPY "${symbols}" DESTINATION "${stage}/${name}/bin")
endforeach()
# CPack moves the package from its staging folder to the archive's folder
# after the script has run.
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${archive}" --format=zip "${name}"
                WORKING_DIRECTORY "${stage}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "could not write ${archive}")
endif()
message(STATUS "symbols archive ${archive} generated")
