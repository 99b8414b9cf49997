# tavrin_test_runner(RUNNER TIMEOUT seconds [PREFIX prefix] [STRIP prefix]
#                    [ENVIRONMENT env...] [HEADERS pch headers...]
#                    [ARGS QtTest options...] SOURCES sources...)
# Builds the QtTest sources into one program and registers each in CTest as
# PREFIX plus its file's name less STRIP, run as `RUNNER name ARGS` in a
# process of its own.
set(TAVRIN_TEST_RUNNER_DIR ${CMAKE_CURRENT_LIST_DIR})

function(tavrin_test_runner runner)
  cmake_parse_arguments(arg "" "PREFIX;STRIP;TIMEOUT" "ENVIRONMENT;HEADERS;SOURCES;ARGS" ${ARGN})
  add_executable(${runner}
    ${TAVRIN_TEST_RUNNER_DIR}/runnermain.cpp ${TAVRIN_TEST_RUNNER_DIR}/testregistry.h ${arg_SOURCES})
  target_link_libraries(${runner} PRIVATE Qt6::Test)
  target_include_directories(${runner} PRIVATE ${TAVRIN_TEST_RUNNER_DIR})
  # Test sources keep their helpers in anonymous namespaces under the same
  # names, so each stays a unit of its own.
  set_target_properties(${runner} PROPERTIES AUTOMOC ON UNITY_BUILD OFF)
  # Test code is compiled once and run for seconds: -O1 takes a fifth less
  # time than a release's -O3. The program under test keeps its own flags.
  target_compile_options(${runner} PRIVATE $<$<CONFIG:Release>:-O1>)
  # In a sanitized build the sanitizers watch the program under test, which
  # every test links, and the test helpers: the test sources themselves
  # compile plain, in half the time, and say so to the checks that read the
  # sanitizer's own counts or allow for its pace.
  if(TAVRIN_SANITIZE)
    target_compile_options(${runner} PRIVATE -fno-sanitize=all)
    target_compile_definitions(${runner} PRIVATE TAVRIN_SANITIZED)
  endif()
  # The registry header must come ahead of every test source; it rides in
  # the precompiled header, or on its own where there is none: a runner of
  # a few small sources builds faster without.
  if(CMAKE_DISABLE_PRECOMPILE_HEADERS OR NOT arg_HEADERS)
    target_compile_options(${runner} PRIVATE -include ${TAVRIN_TEST_RUNNER_DIR}/testregistry.h)
  else()
    target_precompile_headers(${runner} PRIVATE ${arg_HEADERS} ${TAVRIN_TEST_RUNNER_DIR}/testregistry.h)
  endif()
  list(FILTER arg_SOURCES INCLUDE REGEX "\\.cpp$")
  foreach(source ${arg_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    set(test ${name})
    if(arg_STRIP)
      string(REGEX REPLACE "^${arg_STRIP}" "" test ${name})
    endif()
    set(test ${arg_PREFIX}${test})
    add_test(NAME ${test} COMMAND ${runner} ${name} ${arg_ARGS})
    set_tests_properties(${test} PROPERTIES TIMEOUT ${arg_TIMEOUT})
    if(arg_ENVIRONMENT)
      set_tests_properties(${test} PROPERTIES ENVIRONMENT "${arg_ENVIRONMENT}")
    endif()
  endforeach()
endfunction()
