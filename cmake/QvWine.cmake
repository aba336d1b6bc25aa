# Runs the Windows test programs under Wine in a throwaway prefix inside the
# build tree. A CTest fixture makes the prefix and keeps one wineserver alive
# for the run; its cleanup shuts the server down, also after failures.

set(QV_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(QV_WINE_RUN "${CMAKE_BINARY_DIR}/wine-run.sh")
configure_file("${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in" "${QV_WINE_RUN}" @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${QV_WINE_RUN}" CACHE FILEPATH "" FORCE)

add_test(NAME wine.prefix.up COMMAND "${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh" up "${QV_WINEPREFIX}")
add_test(NAME wine.prefix.down COMMAND "${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh" down "${QV_WINEPREFIX}")
set_tests_properties(wine.prefix.up PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300 LABELS wine)
set_tests_properties(wine.prefix.down PROPERTIES FIXTURES_CLEANUP wine_prefix TIMEOUT 60 LABELS wine)
