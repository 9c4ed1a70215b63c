# The Windows test programs: each is built by both cross builds and run once per
# architecture under Wine. Each program groups many cases (a 32-bit process start
# under emulation costs about a second).
set(QUORVAN_WINDOWS_TEST_PROGRAMS
  support_tests
  quillet_startup_tests
  quillet_format_tests
  hedit_tests
  tarvik_conversion_tests
  tarvik_frame_tests
  tarvik_automation_tests
  tarvik_container_tests
  probe_control_tests
  tarvik_event_tests
  tarvik_services_tests
)

# Programs with a CMakeLists of their own, run the same way: a host written in C
# against the published headers and import libraries, and the headers' checks.
set(QUORVAN_WINDOWS_OWN_PROGRAMS
  c_host
  c_host_headers
)
