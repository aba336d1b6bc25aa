# qv_e2e_test(NAME SCRIPT DEPENDS targets...) - a Python end-to-end test that
# drives this build's Windows programs under Wine, next to the test bed's
# native programs. Needs an X display (the test command provides Xvfb).
find_package(Python3 REQUIRED COMPONENTS Interpreter)

function(qv_e2e_test name script)
  cmake_parse_arguments(E2E "" "" "DEPENDS" ${ARGN})
  add_test(NAME wine.e2e.${name}
    COMMAND "${Python3_EXECUTABLE}" "${script}" -v
    WORKING_DIRECTORY "${CMAKE_BINARY_DIR}")
  set_tests_properties(wine.e2e.${name} PROPERTIES
    FIXTURES_REQUIRED wine_prefix TIMEOUT 900 LABELS "wine;e2e"
    ENVIRONMENT "QV_WINE_RUN=${QV_WINE_RUN};QV_BIN=${CMAKE_BINARY_DIR}/bin;QV_HOST_TESTBED=${QV_HOST_TESTBED};QV_WORK=${CMAKE_BINARY_DIR}/e2e-work/${name};PYTHONDONTWRITEBYTECODE=1")
endfunction()
