# Registers, in the native build, the test programs of the two cross builds, so
# that one ctest run covers every architecture. QUORVAN_WINDOWS_BUILDS holds
# "arch=build-folder" pairs; the Makefile passes both.
set(QUORVAN_WINDOWS_BUILDS "" CACHE STRING "arch=folder pairs of the cross builds to test")
include(${CMAKE_CURRENT_LIST_DIR}/programs.cmake)

find_package(GTest REQUIRED)
add_executable(export_table_test ${PROJECT_SOURCE_DIR}/tests/native/pe/export_table_test.cpp)
target_link_libraries(export_table_test PRIVATE GTest::gtest)
quorvan_warnings(export_table_test)

set(wine_env ${PROJECT_SOURCE_DIR}/tools/wine-env.sh)
if(QUORVAN_WINDOWS_BUILDS)
  add_test(NAME wine/setup COMMAND ${wine_env} setup ${CMAKE_BINARY_DIR})
  set_tests_properties(wine/setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  add_test(NAME wine/stop COMMAND ${wine_env} stop ${CMAKE_BINARY_DIR})
  set_tests_properties(wine/stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)
endif()

foreach(pair ${QUORVAN_WINDOWS_BUILDS})
  string(REPLACE "=" ";" parts ${pair})
  list(GET parts 0 arch)
  list(GET parts 1 folder)
  add_test(NAME ${arch}/export_table
           COMMAND export_table_test --machine ${arch} --tarvik ${folder}/bin/Tarvik.dll
                   --quillet ${folder}/bin/Quillet.dll)
  # 32-bit programs run under emulation: give them more time.
  if(arch STREQUAL "i686")
    set(limit 600)
  else()
    set(limit 300)
  endif()
  foreach(program ${QUORVAN_WINDOWS_TEST_PROGRAMS} ${QUORVAN_WINDOWS_OWN_PROGRAMS})
    add_test(NAME ${arch}/${program}
             COMMAND ${wine_env} run ${CMAKE_BINARY_DIR} ${arch} ${limit}
                     ${folder}/bin/${program}.exe)
    # The programs share one Wine prefix, and some change the user's international
    # settings in it for a while: they run one at a time.
    set_tests_properties(${arch}/${program} PROPERTIES
      FIXTURES_REQUIRED wine RESOURCE_LOCK wine_prefix TIMEOUT ${limit})
  endforeach()
endforeach()
