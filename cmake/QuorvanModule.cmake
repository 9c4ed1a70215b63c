# Settings every Quorvan DLL shares: the exact file name the host loads, the
# version resource, and the export list for the architecture being built.
function(quorvan_dll target)
  cmake_parse_arguments(ARG "" "DESCRIPTION;DEF" "" ${ARGN})
  set(QV_MODULE_NAME ${target})
  set(QV_MODULE_DESCRIPTION "${ARG_DESCRIPTION}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  # The .def template names the i686 symbol for each export; configure_file picks
  # the right one for this architecture (see the templates).
  if(QUORVAN_ARCH STREQUAL "i686")
    set(QV_X64 "; ")
    set(QV_X86 "")
  else()
    set(QV_X64 "")
    set(QV_X86 "; ")
  endif()
  configure_file(${ARG_DEF} ${CMAKE_CURRENT_BINARY_DIR}/${target}.def @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
  # Only the names of the export list: without this, a list with no entries yet
  # would make the linker export every symbol, the static runtime's included.
  target_link_options(${target} PRIVATE -Wl,--exclude-all-symbols)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${target}
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  quorvan_warnings(${target})
endfunction()
