# qv_e2e_test(NAME SCRIPT DEPENDS targets...) - a Python end-to-end test that
# drives this build's Windows programs under Wine, next to the test bed's
# native programs. Needs an X display (the test command provides Xvfb).
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# The other bitness's programs, for the tests that mix the two (the i686 run
# uses the x86_64 build's).
if(QV_ARCH STREQUAL "i686")
  set(QV_PEER_BIN "${CMAKE_SOURCE_DIR}/build/win64/bin" CACHE PATH "The x86_64 build's programs")
else()
  set(QV_PEER_BIN "${CMAKE_SOURCE_DIR}/build/win32/bin" CACHE PATH "The i686 build's programs")
endif()

function(qv_e2e_test name script)
  cmake_parse_arguments(E2E "" "" "DEPENDS" ${ARGN})
  add_test(NAME ${QV_WINE_TEST}.e2e.${name}
    COMMAND "${Python3_EXECUTABLE}" "${script}" -v
    WORKING_DIRECTORY "${CMAKE_BINARY_DIR}")
  qv_wine_test(${QV_WINE_TEST}.e2e.${name} 900 e2e)
  set_tests_properties(${QV_WINE_TEST}.e2e.${name} PROPERTIES
    ENVIRONMENT "QV_WINE_RUN=${QV_WINE_RUN};QV_BIN=${CMAKE_BINARY_DIR}/bin;QV_HOST_TESTBED=${QV_HOST_TESTBED};QV_WORK=${CMAKE_BINARY_DIR}/e2e-work/${name};QV_ARCH=${QV_ARCH};QV_WINEPREFIX=${QV_WINEPREFIX};QV_PEER_BIN=${QV_PEER_BIN};PYTHONDONTWRITEBYTECODE=1")
endfunction()
