# What a host developer links against: the two DLLs, their C headers and import
# libraries, gathered by the `dist` target into QUORVAN_DIST_DIR.
#
# The import libraries are made with dlltool from the export lists, not taken
# from the linker: a C host declares Tarvik's exports __stdcall, so on i686 it
# references `_QvOleInit@0` while the DLL exports `QvOleInit`, and it declares
# Quillet's `FormatData` plainly on x86_64 while the DLL exports
# `@FormatData@32`. Each line of the import list maps the symbol a host
# references to the name the DLL exports.

set(QUORVAN_DIST_DIR ${CMAKE_BINARY_DIR}/dist/quorvan-${QUORVAN_ARCH}
    CACHE PATH "Where the `dist` target gathers DLLs, headers and import libraries")

find_program(QUORVAN_DLLTOOL NAMES ${QUORVAN_MINGW_PREFIX}-dlltool REQUIRED)
if(QUORVAN_ARCH STREQUAL "i686")
  set(quorvan_dlltool_machine i386)
  set(quorvan_def_kept "x86:")
  set(quorvan_def_dropped "x64:")
else()
  set(quorvan_dlltool_machine i386:x86-64)
  set(quorvan_def_kept "x64:")
  set(quorvan_def_dropped "x86:")
endif()

set(QUORVAN_IMPORT_LIB_DIR ${CMAKE_BINARY_DIR}/lib)

# Writes the import list of one DLL from its export list and adds the rule that
# turns it into lib<stem>.a; the library's path is left in QUORVAN_IMPORT_LIB_<stem>.
function(quorvan_import_library dll stem def_source)
  file(READ ${def_source} definitions)
  # One list element per line: the comments' semicolons must not split lines.
  string(REPLACE ";" "," definitions "${definitions}")
  string(REPLACE "\n" ";" lines "${definitions}")
  set(entries "")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^[ \t]*${quorvan_def_kept}")
      continue()
    endif()
    string(REGEX REPLACE "^[ \t]*${quorvan_def_kept}[ \t]*" "" entry "${line}")
    string(REPLACE "\"" "" entry "${entry}")
    # `exported = internal`: the host references the internal symbol (the one
    # its declaration produces) and the DLL is asked for the exported name.
    if(entry MATCHES "^([^ \t=]+)[ \t]*=[ \t]*([^ \t]+)")
      set(exported "${CMAKE_MATCH_1}")
      set(internal "${CMAKE_MATCH_2}")
      if(exported STREQUAL internal)
        string(APPEND entries "${exported}\n")
      else()
        string(APPEND entries "${internal} == ${exported}\n")
      endif()
    elseif(entry MATCHES "^([^ \t]+)")
      string(APPEND entries "${CMAKE_MATCH_1}\n")
    endif()
  endforeach()
  if(entries STREQUAL "")
    message(FATAL_ERROR "${def_source} lists no exports for ${QUORVAN_ARCH}")
  endif()
  set(import_def ${CMAKE_BINARY_DIR}/import/${stem}.def)
  # Rewritten only when it changes, so that a new configure run does not remake
  # the library.
  file(WRITE ${import_def}.new "LIBRARY \"${dll}.dll\"\nEXPORTS\n${entries}")
  configure_file(${import_def}.new ${import_def} COPYONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def_source})

  set(library ${QUORVAN_IMPORT_LIB_DIR}/lib${stem}.a)
  add_custom_command(
    OUTPUT ${library}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUORVAN_IMPORT_LIB_DIR}
    COMMAND ${QUORVAN_DLLTOOL} -m ${quorvan_dlltool_machine} -d ${import_def} -l ${library}
    DEPENDS ${import_def}
    COMMENT "Import library lib${stem}.a for ${dll}.dll"
    VERBATIM)
  set(QUORVAN_IMPORT_LIB_${stem} ${library} PARENT_SCOPE)
endfunction()

quorvan_import_library(Tarvik tarvik ${PROJECT_SOURCE_DIR}/tarvik/tarvik.def)
quorvan_import_library(Quillet quillet ${PROJECT_SOURCE_DIR}/quillet/quillet.def)
add_custom_target(quorvan_import_libs ALL
                  DEPENDS ${QUORVAN_IMPORT_LIB_tarvik} ${QUORVAN_IMPORT_LIB_quillet})

add_custom_target(dist
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QUORVAN_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUORVAN_DIST_DIR}/bin ${QUORVAN_DIST_DIR}/lib
          ${QUORVAN_DIST_DIR}/include
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Tarvik> $<TARGET_FILE:Quillet>
          ${QUORVAN_DIST_DIR}/bin
  COMMAND ${CMAKE_COMMAND} -E copy ${QUORVAN_IMPORT_LIB_tarvik} ${QUORVAN_IMPORT_LIB_quillet}
          ${QUORVAN_DIST_DIR}/lib
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/tarvik/tarvik.h
          ${PROJECT_SOURCE_DIR}/quillet/quillet.h ${QUORVAN_DIST_DIR}/include
  COMMENT "Gathering DLLs, headers and import libraries in ${QUORVAN_DIST_DIR}"
  VERBATIM)
add_dependencies(dist Tarvik Quillet quorvan_import_libs)
