# Test helpers: GoogleTest natively, GoogleTest built from Debian's sources
# with MinGW for the Windows builds, which run under Wine.

macro(qv_setup_test_framework)
  if(CMAKE_CROSSCOMPILING)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
    include("${CMAKE_SOURCE_DIR}/cmake/QvWine.cmake")
  else()
    find_package(GTest REQUIRED)
    include(GoogleTest)
  endif()
endmacro()

# qv_add_gtest(target source...) - a GoogleTest executable registered with CTest.
# Natively every test case is its own CTest entry; under Wine the whole
# executable is one entry (each Wine start costs about a second).
function(qv_add_gtest target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE GTest::gtest_main GTest::gmock)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${QV_WINE_TEST}.${target} COMMAND ${target} --gtest_brief=1)
    qv_wine_test(${QV_WINE_TEST}.${target} 300)
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)
  endif()
endfunction()

# qv_test_folder(target DIR LIBS...) - one test executable of every *.cpp in DIR
# (nothing when DIR has none yet).
function(qv_test_folder target dir)
  if(NOT QV_BUILD_TESTS)
    return()
  endif()
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  if(sources)
    qv_add_gtest(${target} ${sources})
    target_link_libraries(${target} PRIVATE ${ARGN})
    target_include_directories(${target} PRIVATE "${dir}")
  endif()
endfunction()
