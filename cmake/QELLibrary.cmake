# A DLL of ours from the sources of its folder. Files named *Exports.cpp hold
# the exported functions; everything else is the DLL's own code, which is also
# built as a static "core" library so test programs reach its classes directly.
#   qel_add_library_dll(<name> COMMON <common variant> LIBS <system libs...>)
function(qel_add_library_dll name)
  cmake_parse_arguments(ARG "" "COMMON" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB exports CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*Exports.cpp)
  set(core ${sources})
  if(exports)
    list(REMOVE_ITEM core ${exports})
  endif()

  qel_add_dll(${name} ${sources})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/include)
  target_link_libraries(${name} PRIVATE ${ARG_COMMON} ${ARG_LIBS})

  if(core)
    add_library(${name}Core STATIC ${core})
    qel_common_settings(${name}Core)
    target_include_directories(${name}Core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name}Core PUBLIC Common ${ARG_LIBS})
  else()
    add_library(${name}Core INTERFACE)
    target_include_directories(${name}Core INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name}Core INTERFACE Common ${ARG_LIBS})
  endif()
endfunction()
