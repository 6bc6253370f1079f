# What a released binary carries besides its code: a version resource made
# from the project's one version number, and debug information kept in a
# symbols file of its own while the binary itself goes without.

set(QEL_COMPANY "Corvane Systems")
set(QEL_COPYRIGHT "Copyright (C) 2026 ${QEL_COMPANY}")
set(QEL_DESCRIPTION_QELPrinter "QEL printer installation library")
set(QEL_DESCRIPTION_QELSystemExt "QEL system extension library")
set(QEL_DESCRIPTION_QELHost "QEL host program: calls one export of a QEL library")

# The numeric version's fourth field is the tweak of project(VERSION), 0
# when it has none: builds are not counted, so a rebuild of one release
# compares equal under installers' file-version rules, and a release that
# must replace the files of an earlier one raises the version itself.
if(PROJECT_VERSION_TWEAK STREQUAL "")
  set(QEL_VERSION_TWEAK 0)
else()
  set(QEL_VERSION_TWEAK ${PROJECT_VERSION_TWEAK})
endif()
set(QEL_FILE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.${QEL_VERSION_TWEAK}")
string(REPLACE "." "," QEL_VERSION_NUMBERS "${QEL_FILE_VERSION}")

# The resource is compiled in a library of its own, which none of our
# targets' compile options reach. windres preprocesses it with the tree's own
# C compiler: its default, "<triplet>-gcc", is an alternatives link that a
# machine may lack, and to a preprocessor it is given it passes no arguments
# of its own.
function(qel_version_resource target)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(QEL_FILE_NAME ${target}${CMAKE_EXECUTABLE_SUFFIX})
    set(QEL_FILE_TYPE VFT_APP)
  else()
    set(QEL_FILE_NAME ${target}${CMAKE_SHARED_LIBRARY_SUFFIX})
    set(QEL_FILE_TYPE VFT_DLL)
  endif()
  set(QEL_FILE_STEM ${target})
  set(QEL_FILE_DESCRIPTION "${QEL_DESCRIPTION_${target}}")
  if(NOT QEL_FILE_DESCRIPTION)
    message(FATAL_ERROR "${target} ships but has no description for its version resource (cmake/QELRelease.cmake)")
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}Version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version/VersionInfo.rc.in ${rc} @ONLY)
  add_library(${target}Version OBJECT ${rc})
  target_link_libraries(${target} PRIVATE ${target}Version)
  set_source_files_properties(${rc} PROPERTIES COMPILE_OPTIONS
    "--preprocessor=${CMAKE_C_COMPILER};--preprocessor-arg=-E;--preprocessor-arg=-xc;--preprocessor-arg=-DRC_INVOKED")
endfunction()

# Debug information for the symbols file: the binary's own sources and the
# libraries of ours linked into it.
function(qel_debug_info target)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-g>)
  get_target_property(libraries ${target} LINK_LIBRARIES)
  foreach(library IN LISTS libraries)
    if(TARGET ${library})
      get_target_property(type ${library} TYPE)
      if(type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "OBJECT_LIBRARY")
        qel_debug_info(${library})
      endif()
    endif()
  endforeach()
endfunction()

# Once linked, the binary's debug information moves to
# <build>/symbols/<file>.debug, and the binary keeps no section name longer
# than 8 characters (the loaders of Windows 95 to 2000 take only those; with
# debug information the linker writes long ones, ".eh_frame" among them).
# The link between the two is the linker's build id: a CodeView record in
# the debug directory, section ".buildid", which strip keeps and the symbols
# file repeats. A debug link section (".gnu_debuglink") would be too long a
# name.
set(QEL_SYMBOLS_DIR ${CMAKE_BINARY_DIR}/symbols)
function(qel_keep_symbols target)
  qel_debug_info(${target})
  target_link_options(${target} PRIVATE -Wl,--build-id)
  set(symbols ${QEL_SYMBOLS_DIR}/$<TARGET_FILE_NAME:${target}>.debug)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QEL_SYMBOLS_DIR}
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${symbols}
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --long-section-names disable $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
