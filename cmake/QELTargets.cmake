# Compile and link settings shared by every target of ours.

include(${CMAKE_CURRENT_LIST_DIR}/QELRelease.cmake)

# Warnings are errors in our own code; third-party code (GoogleTest) does not
# get these options.
function(qel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wshadow -Wno-unused-parameter)
endfunction()

# Each DLL and program stands alone: the C++ runtime and libgcc are linked in
# (only msvcrt.dll, which every target Windows has, stays a system DLL).
function(qel_static_runtime target)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()

function(qel_common_settings target)
  qel_warnings(${target})
  target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0400 WINVER=0x0400)
  target_compile_options(${target} PRIVATE -ffunction-sections -fdata-sections)
endfunction()

# A DLL of ours: no "lib" prefix, an import library, the runtime inside.
function(qel_add_dll target)
  add_library(${target} SHARED ${ARGN})
  set_target_properties(${target} PROPERTIES PREFIX "" IMPORT_PREFIX "" IMPORT_SUFFIX ".lib")
  qel_common_settings(${target})
  qel_static_runtime(${target})
  # Only what the code marks for export leaves the DLL, never the runtime.
  target_link_options(${target} PRIVATE -Wl,--gc-sections -Wl,--exclude-all-symbols)
endfunction()

# A program of ours (tools, tests, benchmarks).
function(qel_add_program target)
  add_executable(${target} ${ARGN})
  qel_common_settings(${target})
  qel_static_runtime(${target})
endfunction()

# What every binary we ship (both DLLs and the host program) gets, so that
# the Windows it targets loads it: the runtime's imports that Windows lacks
# or only stubs taken elsewhere (Common/runtime/RuntimeImports.cpp), and on
# i686 the subsystem version pinned to 4.0 (Windows 95 refuses a newer one)
# and, for DLLs, no TLS directory (Windows 95 refuses LoadLibrary of a DLL
# with one): Common/runtime/DllEntry.cpp is their entry point; and what a
# release needs (cmake/QELRelease.cmake): a version resource, and its debug
# information kept in a symbols file, the binary keeping no section name
# over eight characters.
function(qel_shipped target)
  target_link_libraries(${target} PRIVATE QELRuntimeImports)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${target} PRIVATE -Wl,--major-subsystem-version,4,--minor-subsystem-version,0)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "SHARED_LIBRARY")
      target_link_libraries(${target} PRIVATE QELDllEntry)
      target_link_options(${target} PRIVATE -Wl,-e,_QelDllEntry@12)
    endif()
  endif()
  qel_version_resource(${target})
  qel_keep_symbols(${target})
endfunction()
