# Test programs run under Wine, in a Wine prefix of their own under the
# build folder, made fresh once per CTest run by the "wine-prefix" fixture,
# which also keeps one wineserver running for the run and stops it at the end.
# Each tree runs its own architecture: x86_64 programs under wine64 in a
# 64-bit prefix, i686 programs under 32-bit Wine in a WINEARCH=win32 prefix
# (run the i686 tree's CTest through cmake/with-i386.sh, which lets 32-bit
# programs start at all).
#
#   qel_add_wine_test(<name> TARGET <exe target>
#                     [VERSION win95|win98|nt40|win2k] [LOCALE <LC_ALL value>]
#                     [FILTER <gtest filter>] [DLLOVERRIDES <override>...]
#                     [DISABLE <dll>]
#                     [TIMEOUT <seconds>] [FAIL_ON <regex>] [ENV <VAR=value>...]
#                     [SKIPS <Suite.Test>...])
# TIMEOUT is for the x86_64 tree (default 120 s); qel_timeout() scales it.
#
# VERSION runs a copy of the program named <exe>-<version>.exe, for which the
# fixture sets Wine's per-program Windows version. Test suites written for one
# version or locale carry a suffix (_Win95, _Win98, _NT40, _Win2k, _Cp932);
# the plain run leaves them out, a VERSION or LOCALE run selects them.
# FAIL_ON fails the test when its output matches the regular expression.
# SKIPS names the tests that may skip in this run (each with the reason why
# in a comment beside it); any other skip fails the run.
# DISABLE runs a copy named <exe>-no<dll>.exe (with VERSION,
# <exe>-<version>-no<dll>.exe) for which the fixture disables
# that DLL through Wine's per-program overrides
# (HKCU\Software\Wine\AppDefaults\<exe>\DllOverrides) rather than
# WINEDLLOVERRIDES, which every process Wine starts for the program inherits:
# Wine 10's 32-bit loader starts each program through its start.exe, which
# imports shell32, so with shell32 disabled there the program never starts
# (exit 53).

set(QEL_WINESERVER /usr/lib/wine/wineserver)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QEL_WINE /usr/lib/wine/wine64)
  set(QEL_WINEARCH win64)
else()
  # Never wine64 here: it exits 0 on a 32-bit program without running it.
  set(QEL_WINE /usr/lib/wine/wine)
  set(QEL_WINEARCH win32)
endif()

# Timeouts stop a test that hangs (the setup library's media loop); they are
# given for the x86_64 tree. The i686 tree runs emulated, 3 to 4.5 times
# slower on work inside Wine, and on a shared 2-core machine its printer
# driver lookups ran past 300 s: its timeouts are three times as long.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QEL_TIMEOUT_FACTOR 1)
else()
  set(QEL_TIMEOUT_FACTOR 3)
endif()
function(qel_timeout out seconds)
  math(EXPR scaled "${seconds} * ${QEL_TIMEOUT_FACTOR}")
  set(${out} ${scaled} PARENT_SCOPE)
endfunction()
set(QEL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(QEL_VARIANT_SUITES "*_Win95.*:*_Win98.*:*_NT40.*:*_Win2k.*:*_Cp932.*")
# Silences the crash debugger, whose output would bury the test's own.
set(QEL_BASE_DLLOVERRIDES "winedbg.exe=d")
# What every test program sees whatever the caller's environment holds:
# Wine names files in the Unix locale's character set (ASCII without one).
set(QEL_BASE_ENV "LC_ALL=C.UTF-8" "TZ=UTC")

if(NOT EXISTS ${QEL_WINE})
  message(FATAL_ERROR "${QEL_WINE} not found: run tools/setup.sh")
endif()

set_property(GLOBAL PROPERTY QEL_WINE_APP_SETTINGS "")

# Wine names files in the Unix locale's character set, which is ASCII when
# the host lacks the locale a LOCALE run asks for: double-byte file names then
# cannot be made at all. glibc takes the UTF-8 C locale's data under the
# Japanese name from LOCPATH, so Wine runs in code page 932 and stores names
# as UTF-8.
set(QEL_LOCPATH ${CMAKE_BINARY_DIR}/locales)
if(EXISTS /usr/lib/locale/C.utf8 AND NOT EXISTS ${QEL_LOCPATH}/ja_JP.UTF-8)
  file(COPY /usr/lib/locale/C.utf8/ DESTINATION ${QEL_LOCPATH}/ja_JP.UTF-8)
endif()

function(qel_suite_for_variant out variant)
  set(suffixes win95 _Win95 win98 _Win98 nt40 _NT40 win2k _Win2k)
  list(FIND suffixes ${variant} at)
  if(at LESS 0)
    message(FATAL_ERROR "unknown Windows version '${variant}' (use win95, win98, nt40 or win2k)")
  endif()
  math(EXPR at "${at} + 1")
  list(GET suffixes ${at} suffix)
  set(${out} "*${suffix}.*" PARENT_SCOPE)
endfunction()

# A copy of the program, <exe>-<suffix>.exe, and the settings the fixture
# gives that name (a Windows version, disable:<dll>, or both).
function(qel_program_copy out target suffix)
  set(copy_name ${target}-${suffix}.exe)
  set(program $<TARGET_FILE_DIR:${target}>/${copy_name})
  if(NOT TARGET ${target}-${suffix}-copy)
    add_custom_target(${target}-${suffix}-copy ALL
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${program}
      DEPENDS ${target} VERBATIM)
    foreach(setting IN LISTS ARGN)
      set_property(GLOBAL APPEND PROPERTY QEL_WINE_APP_SETTINGS "${copy_name}=${setting}")
    endforeach()
  endif()
  set(${out} ${program} PARENT_SCOPE)
endfunction()

function(qel_add_wine_test name)
  cmake_parse_arguments(ARG "" "TARGET;VERSION;LOCALE;FILTER;TIMEOUT;FAIL_ON;DISABLE" "ENV;DLLOVERRIDES;SKIPS" ${ARGN})
  get_target_property(type ${ARG_TARGET} TYPE)
  if(NOT type STREQUAL "EXECUTABLE")
    message(FATAL_ERROR "${name}: ${ARG_TARGET} is not a program")
  endif()

  set(program $<TARGET_FILE:${ARG_TARGET}>)
  set(filter "-${QEL_VARIANT_SUITES}")
  if(ARG_VERSION AND ARG_DISABLE)
    qel_program_copy(program ${ARG_TARGET} ${ARG_VERSION}-no${ARG_DISABLE} ${ARG_VERSION} disable:${ARG_DISABLE})
    qel_suite_for_variant(filter ${ARG_VERSION})
  elseif(ARG_VERSION)
    qel_program_copy(program ${ARG_TARGET} ${ARG_VERSION} ${ARG_VERSION})
    qel_suite_for_variant(filter ${ARG_VERSION})
  elseif(ARG_DISABLE)
    qel_program_copy(program ${ARG_TARGET} no${ARG_DISABLE} disable:${ARG_DISABLE})
  elseif(ARG_LOCALE)
    set(filter "*_Cp932.*")
  endif()
  if(ARG_FILTER)
    set(filter "${ARG_FILTER}")
  endif()

  set(overrides "${QEL_BASE_DLLOVERRIDES}")
  foreach(override IN LISTS ARG_DLLOVERRIDES)
    # Escaped: a bare ";" would end the variable inside the ENVIRONMENT list.
    set(overrides "${overrides}\\;${override}")
  endforeach()
  set(env "WINEPREFIX=${QEL_WINEPREFIX}" "WINEARCH=${QEL_WINEARCH}" "WINEDEBUG=-all" "WINEDLLOVERRIDES=${overrides}")
  # The run's own settings replace the defaults of the same name.
  set(given ${ARG_ENV})
  if(ARG_LOCALE)
    list(APPEND given "LC_ALL=${ARG_LOCALE}" "LOCPATH=${QEL_LOCPATH}")
  endif()
  foreach(default IN LISTS QEL_BASE_ENV)
    string(REGEX REPLACE "=.*" "" variable "${default}")
    set(overridden FALSE)
    foreach(setting IN LISTS given)
      if(setting MATCHES "^${variable}=")
        set(overridden TRUE)
      endif()
    endforeach()
    if(NOT overridden)
      list(APPEND env "${default}")
    endif()
  endforeach()
  list(APPEND env ${given})
  set(runner sh ${PROJECT_SOURCE_DIR}/cmake/run-gtest.sh)
  if(ARG_FAIL_ON)
    list(APPEND runner --fail-on "${ARG_FAIL_ON}")
  endif()
  if(ARG_SKIPS)
    string(REPLACE ";" ":" skips "${ARG_SKIPS}")
    list(APPEND runner --expect-skips "${skips}")
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  qel_timeout(ARG_TIMEOUT ${ARG_TIMEOUT})

  # The runner fails a run that selected no test or never ran at all.
  add_test(NAME ${name}
    COMMAND ${runner} ${QEL_WINE} ${program} --gtest_filter=${filter} --gtest_brief=1
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${ARG_TARGET}>)
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine-prefix
    ENVIRONMENT "${env}"
    TIMEOUT ${ARG_TIMEOUT})
endfunction()

# Call once, after every qel_add_wine_test.
function(qel_add_wine_fixture)
  get_property(settings GLOBAL PROPERTY QEL_WINE_APP_SETTINGS)
  set(script ${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh)
  set(env "WINE=${QEL_WINE}" "WINEARCH=${QEL_WINEARCH}" "QEL_STANDINS=${QEL_STANDIN_DIR}" ${QEL_BASE_ENV})
  add_test(NAME wine-prefix-setup COMMAND sh ${script} setup ${QEL_WINEPREFIX} ${settings})
  add_test(NAME wine-prefix-cleanup COMMAND sh ${script} cleanup ${QEL_WINEPREFIX})
  qel_timeout(setup_timeout 300)
  set_tests_properties(wine-prefix-setup PROPERTIES FIXTURES_SETUP wine-prefix TIMEOUT ${setup_timeout} ENVIRONMENT "${env}")
  set_tests_properties(wine-prefix-cleanup PROPERTIES FIXTURES_CLEANUP wine-prefix TIMEOUT 60 ENVIRONMENT "${env}")
endfunction()
