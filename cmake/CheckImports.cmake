# Checks what shipped binaries ask of the platform: every function each one
# imports must be listed in its manifest, with the oldest Windows that
# exports it no newer than the binary's target, and every listed function
# must still be imported. A loader refuses a binary with one import it lacks,
# and Wine exports everything whatever Windows it reports, so only this
# check sees such an import before a user does.
#   cmake -DOBJDUMP=<objdump> -DARCH=i686|x86_64 -DMANIFESTS=<folder>
#         -DBINARIES=<file>[|<file>...] [-DREFUSED=<file>] [-DGCC=<major version>]
#         -P CheckImports.cmake
# The manifest of <name>.<ext> is <folder>/<name>-<ARCH>.txt, one import a
# line: DLL, function ("@<ordinal>" for an import by ordinal), oldest Windows
# 9x, oldest Windows NT, whether the first 64-bit Windows has it, then where
# that comes from. Lines starting with "#" are comments. The columns take:
#   9x:  95, 95-stub (exported, fails when called), 95-OSR2 (the C runtime,
#        which Windows 95 gained with OSR2), 98, ME, none
#   NT:  3.1, 3.5, 3.51, 4.0, 2000, XP, 2003, none
#   x64: yes, no
# and "?" where the history could not be established: such a line passes
# and is listed as not established. A line may start with "[gcc<13]" or
# "[gcc>=13]": only the runtime of those compiler versions imports it, so it
# counts as stale only when GCC (the building compiler's major version) is
# one of them (Debian 12 builds with GCC 12, Debian 13 with GCC 14).
# Targets: i686 loads on Windows 95 (OSR2, or earlier with the C runtime
# installed), 98, NT 4.0 and 2000; x86_64 on every 64-bit Windows. A stub
# does not do: Windows 95 fails a load whose DllMain calls one. The binary's
# subsystem version must not be newer than the target either (4.0; 5.2).
cmake_minimum_required(VERSION 3.25)
foreach(var OBJDUMP ARCH MANIFESTS BINARIES)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckImports: ${var} not set")
  endif()
endforeach()

if(ARCH STREQUAL "i686")
  set(columns_checked "9x;NT")
  set(allowed_9x "95;95-OSR2")
  set(allowed_NT "3.1;3.5;3.51;4.0")
  set(target_text "Windows 95, 98, NT 4.0 and 2000")
  set(subsystem_limit 4.0)
elseif(ARCH STREQUAL "x86_64")
  set(columns_checked "x64")
  set(allowed_x64 "yes")
  set(target_text "the first 64-bit Windows (XP x64, Server 2003 SP1)")
  set(subsystem_limit 5.2)
else()
  message(FATAL_ERROR "CheckImports: unknown architecture '${ARCH}'")
endif()

# "DLL function" for each import of `file`, and its subsystem version.
# objdump prints, per DLL, "\tDLL Name: KERNEL32.dll" and then one row a
# function, up to an empty line:
#   binutils 2.40: "\t<vma>\t <hint>  <name>", by ordinal
#                  "\t<thunk>\t <ordinal>  <none>" (the ordinal column in
#                  decimal or hex by architecture; the thunk's low word is it)
#   binutils 2.44: "\t<vma>  <none>  <hint>  <name>", by ordinal
#                  "\t<vma>  <ordinal>  <none> <none>"
function(read_imports file out subsystem)
  execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "CheckImports: ${OBJDUMP} -p ${file} failed (${rc})")
  endif()
  string(REGEX MATCH "MajorSubsystemVersion[ \t]+([0-9]+)" ignored "${dump}")
  set(major "${CMAKE_MATCH_1}")
  string(REGEX MATCH "MinorSubsystemVersion[ \t]+([0-9]+)" ignored "${dump}")
  set(${subsystem} "${major}.${CMAKE_MATCH_1}" PARENT_SCOPE)
  string(REPLACE ";" "\\;" dump "${dump}")
  string(REPLACE "\n" ";" lines "${dump}")
  set(dll "")
  set(found "")
  foreach(line IN LISTS lines)
    if(line MATCHES "DLL Name: *([^ \t]+)")
      string(TOUPPER "${CMAKE_MATCH_1}" dll)
    elseif(line STREQUAL "")
      set(dll "")
    elseif(dll AND line MATCHES "^\t[0-9a-fA-F]+ +<none> +[0-9a-fA-F]+ +([^ \t<]+)")
      list(APPEND found "${dll} ${CMAKE_MATCH_1}")
    elseif(dll AND line MATCHES "^\t[0-9a-fA-F]+ +([0-9]+) +<none> +<none>")
      # Imports by ordinal are listed as "@<ordinal>", in decimal.
      list(APPEND found "${dll} @${CMAKE_MATCH_1}")
    elseif(dll AND line MATCHES "^\t[0-9a-fA-F]*([0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F])\t *[0-9a-fA-F]+ +<none>")
      math(EXPR ordinal "0x${CMAKE_MATCH_1}")
      list(APPEND found "${dll} @${ordinal}")
    elseif(dll AND line MATCHES "^\t[0-9a-fA-F]+\t *[0-9]+ +([^ \t<]+)")
      list(APPEND found "${dll} ${CMAKE_MATCH_1}")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES found)
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

# What is known of functions no manifest lists: the Windows each needs.
set(refused_versions "")
if(NOT DEFINED REFUSED)
  set(REFUSED "${MANIFESTS}/refused.txt")
endif()
file(STRINGS "${REFUSED}" refused_rows)
foreach(row IN LISTS refused_rows)
  if(row MATCHES "^([^# ]+) +([^ ]+) +([^ ]+) +([^ ]+) +([^ ]+)")
    string(TOUPPER "${CMAKE_MATCH_1}" dll)
    string(MAKE_C_IDENTIFIER "${dll} ${CMAKE_MATCH_2}" key)
    if(CMAKE_MATCH_3 STREQUAL "none")
      set(refused_${key} "Windows ${CMAKE_MATCH_4} (no Windows 95/98 has it)")
    else()
      set(refused_${key} "Windows ${CMAKE_MATCH_3} or NT ${CMAKE_MATCH_4}")
    endif()
  endif()
endforeach()

string(REPLACE "|" ";" binaries "${BINARIES}")
set(failures "")
set(unknown "")
foreach(file IN LISTS binaries)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "CheckImports: ${file} does not exist (was this architecture built?)")
  endif()
  get_filename_component(name "${file}" NAME_WE)
  get_filename_component(shown "${file}" NAME)
  set(manifest "${MANIFESTS}/${name}-${ARCH}.txt")
  if(NOT EXISTS "${manifest}")
    message(FATAL_ERROR "CheckImports: no manifest ${manifest} for ${shown}")
  endif()
  read_imports("${file}" imports subsystem)
  if(NOT subsystem MATCHES "^[0-9]+\\.[0-9]+$")
    list(APPEND failures "${shown}: no subsystem version in ${OBJDUMP} -p's output")
  elseif(subsystem VERSION_GREATER subsystem_limit)
    list(APPEND failures "${shown}: subsystem version ${subsystem}, newer than ${target_text} load (${subsystem_limit})")
  endif()

  file(STRINGS "${manifest}" rows)
  set(listed "")
  foreach(row IN LISTS rows)
    string(STRIP "${row}" row)
    if(NOT row OR row MATCHES "^#")
      continue()
    endif()
    set(applies TRUE)
    if(row MATCHES "^\\[gcc(<|>=)([0-9]+)\\] +(.*)$")
      set(operator "${CMAKE_MATCH_1}")
      set(bound "${CMAKE_MATCH_2}")
      set(row "${CMAKE_MATCH_3}")
      if(DEFINED GCC AND ((operator STREQUAL "<" AND NOT GCC LESS bound) OR
                          (operator STREQUAL ">=" AND GCC LESS bound)))
        set(applies FALSE)
      endif()
    endif()
    if(NOT row MATCHES "^([^ ]+) +([^ ]+) +([^ ]+) +([^ ]+) +([^ ]+)( +(.*))?$")
      list(APPEND failures "${shown}: manifest line not understood: ${row}")
      continue()
    endif()
    string(TOUPPER "${CMAKE_MATCH_1}" dll)
    set(entry "${dll} ${CMAKE_MATCH_2}")
    set(value_9x "${CMAKE_MATCH_3}")
    set(value_NT "${CMAKE_MATCH_4}")
    set(value_x64 "${CMAKE_MATCH_5}")
    list(APPEND listed "${entry}")
    if(NOT entry IN_LIST imports)
      if(applies)
        list(APPEND failures "${shown}: ${entry} is listed but no longer imported (stale entry)")
      endif()
      continue()
    endif()
    foreach(column IN LISTS columns_checked)
      set(value "${value_${column}}")
      if(value STREQUAL "?")
        list(APPEND unknown "${shown}: ${entry} (${column})")
      elseif(value STREQUAL "95-OSR2" AND column STREQUAL "9x")
        set(needs_osr2 TRUE)
      elseif(NOT value IN_LIST allowed_${column})
        list(APPEND failures "${shown}: ${entry} needs ${column} ${value}, newer than ${target_text}")
      endif()
    endforeach()
  endforeach()
  foreach(import IN LISTS imports)
    if(NOT import IN_LIST listed)
      string(MAKE_C_IDENTIFIER "${import}" key)
      if(DEFINED refused_${key})
        list(APPEND failures "${shown}: imports ${import}, which needs ${refused_${key}}")
      else()
        list(APPEND failures "${shown}: imports ${import}, which ${manifest} does not list")
      endif()
    endif()
  endforeach()
  list(LENGTH imports count)
  message(STATUS "${shown}: ${count} imports")
endforeach()

if(needs_osr2)
  message(STATUS "on Windows 95 before OSR2 these binaries need msvcrt.dll installed")
endif()
if(unknown)
  list(JOIN unknown "\n  " unknown_text)
  message(STATUS "history not established (listed with ?):\n  ${unknown_text}")
endif()
if(failures)
  list(JOIN failures "\n  " failure_text)
  message(FATAL_ERROR "imports the target Windows would refuse, or a manifest out of date:\n  ${failure_text}")
endif()
message(STATUS "every import is listed and exported by ${target_text}")
