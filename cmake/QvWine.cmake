# Runs the Windows test programs under Wine in a throwaway prefix inside the
# build tree. A CTest fixture makes the prefix and keeps one wineserver alive
# for the run; its cleanup shuts the server down, also after failures.
#
# Test names begin with the build's architecture ("i686.wine.common_tests",
# "x86_64.wine.e2e.monitor") and carry it as a label, so the two builds'
# results never read alike. A test ending with 77 is skipped: an i686 build's
# programs on a machine that cannot run 32-bit programs (wine-run.sh says why).

set(QV_ARCH "${CMAKE_SYSTEM_PROCESSOR}")
set(QV_WINE_TEST "${QV_ARCH}.wine")
set(QV_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(QV_WINE_RUN "${CMAKE_BINARY_DIR}/wine-run.sh")
configure_file("${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in" "${QV_WINE_RUN}" @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${QV_WINE_RUN}" CACHE FILEPATH "" FORCE)

# qv_wine_test(NAME TIMEOUT [LABELS...]) - makes test NAME one of this build's Wine tests.
function(qv_wine_test name timeout)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_prefix TIMEOUT ${timeout}
    LABELS "wine;${QV_ARCH};${ARGN}" SKIP_RETURN_CODE 77 SKIP_REGULAR_EXPRESSION "SKIPPED \\(${QV_ARCH}\\)")
endfunction()

add_test(NAME ${QV_WINE_TEST}.prefix.up COMMAND "${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh" up "${QV_WINEPREFIX}")
add_test(NAME ${QV_WINE_TEST}.prefix.down COMMAND "${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh" down "${QV_WINEPREFIX}")
set_tests_properties(${QV_WINE_TEST}.prefix.up PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300 LABELS "wine;${QV_ARCH}")
set_tests_properties(${QV_WINE_TEST}.prefix.down PROPERTIES FIXTURES_CLEANUP wine_prefix TIMEOUT 60
  LABELS "wine;${QV_ARCH}")
