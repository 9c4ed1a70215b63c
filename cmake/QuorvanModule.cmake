# Settings every Quorvan DLL shares: the exact file name the host loads, the
# version resource, and the export list for the architecture being built.
function(quorvan_dll target)
  cmake_parse_arguments(ARG "" "DESCRIPTION;DEF" "" ${ARGN})
  set(QV_MODULE_NAME ${target})
  set(QV_MODULE_DESCRIPTION "${ARG_DESCRIPTION}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  # The export list template marks lines "x86:" (i686 only) or "x64:" (x86_64
  # only); the names themselves contain '@', so configure_file cannot be used.
  if(QUORVAN_ARCH STREQUAL "i686")
    set(kept "x86:")
    set(dropped "x64:")
  else()
    set(kept "x64:")
    set(dropped "x86:")
  endif()
  file(READ ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DEF} definitions)
  string(REGEX REPLACE "${dropped}[^\n]*\n" "" definitions "${definitions}")
  string(REPLACE "${kept}" "" definitions "${definitions}")
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${target}.def "${definitions}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DEF})
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
  # Only the names of the export list: without this, a list with no entries yet
  # would make the linker export every symbol, the static runtime's included.
  target_link_options(${target} PRIVATE -Wl,--exclude-all-symbols)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${target}
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  quorvan_warnings(${target})
endfunction()
