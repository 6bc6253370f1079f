# What a released binary carries besides its code: a version resource made
# from the project's one version number.

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
