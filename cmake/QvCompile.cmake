# Compiler settings shared by every target.

# Repeated builds (several build trees, several checkouts) share one compiler cache.
find_program(QV_CCACHE ccache)
if(QV_CCACHE)
  set(CMAKE_C_COMPILER_LAUNCHER "${QV_CCACHE}")
  set(CMAKE_CXX_COMPILER_LAUNCHER "${QV_CCACHE}")
endif()

if(MSVC)
  add_compile_options(/W4 /utf-8 /permissive-)
else()
  add_compile_options(-Wall -Wextra -Wpedantic)
endif()

if(WIN32)
  # Unicode Win32 API by default; the few ANSI calls name their A suffix.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  if(MINGW)
    # Self-contained binaries: no MinGW runtime DLLs to ship next to them.
    add_link_options(-static -static-libgcc -static-libstdc++)
  endif()
endif()

# qv_core_library(name DIR) - a static library of every *.cpp directly in DIR.
# The portable cores are globbed so that adding a file needs no CMake edit.
function(qv_core_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC "${dir}")
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${dir}")
  endif()
endfunction()

# qv_link(target LIBS...) - link a qv_core_library target, whether it has sources yet or not.
function(qv_link target)
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_link_libraries(${target} INTERFACE ${ARGN})
  else()
    target_link_libraries(${target} PUBLIC ${ARGN})
  endif()
endfunction()

if(QV_BUILD_FUZZ)
  # Coverage and sanitizers in every library the fuzz targets link.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# qv_use_json(target) - Debian's header-only JSON library (nlohmann-json3-dev)
# for `target`. Only the library's own folder goes on the include path: a
# cross build must not see the rest of the system's /usr/include.
function(qv_use_json target)
  set(dir "${CMAKE_BINARY_DIR}/json-include")
  if(NOT EXISTS "${dir}/nlohmann")
    file(MAKE_DIRECTORY "${dir}")
    file(CREATE_LINK /usr/include/nlohmann "${dir}/nlohmann" SYMBOLIC)
  endif()
  target_include_directories(${target} SYSTEM PUBLIC "${dir}")
endfunction()

# A shipped program's debug information goes to <program>.debug beside it.
# Wine reads every section of an image into memory, the megabytes of debug
# sections too, which the program would carry for its whole run.
function(qv_split_debug_info target)
  if(MINGW AND CMAKE_OBJCOPY)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND "${CMAKE_OBJCOPY}" --only-keep-debug "$<TARGET_FILE:${target}>" "$<TARGET_FILE:${target}>.debug"
      COMMAND "${CMAKE_OBJCOPY}" --strip-debug "--add-gnu-debuglink=$<TARGET_FILE:${target}>.debug" "$<TARGET_FILE:${target}>"
      VERBATIM)
  endif()
endfunction()
