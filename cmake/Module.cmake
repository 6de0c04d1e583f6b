# Warnings for the project's own targets.
function(glintcap_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# glintcap_library(NAME SOURCES... [DEPS ...]) : a static library with the project's warnings.
function(glintcap_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_DEPS;PRIVATE_DEPS;INCLUDE" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  glintcap_warnings(${name})
  if(ARG_INCLUDE)
    target_include_directories(${name} PUBLIC ${ARG_INCLUDE})
  endif()
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# glintcap_test(NAME SOURCES... DEPS ...) : one gtest binary registered with CTest.
# Cases are discovered at test time so each one is its own CTest entry.
include(GoogleTest)
function(glintcap_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  glintcap_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main Threads::Threads)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}")
endfunction()
