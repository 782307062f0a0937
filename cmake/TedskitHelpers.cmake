# Shared build helpers: one call per library, test, fuzzer and benchmark.

set(TEDSKIT_WARNINGS -Wall -Wextra)
if(TEDSKIT_WERROR)
  list(APPEND TEDSKIT_WARNINGS -Werror)
endif()

# tedskit_add_library(NAME SOURCES... [LINKS lib...])
# A shared library with SONAME lib<NAME>.so.1, hidden visibility and the public headers.
function(tedskit_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES})
  target_include_directories(${name}
    PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
           $<INSTALL_INTERFACE:include>
    PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${TEDSKIT_WARNINGS})
  string(TOUPPER ${name} upper)
  target_compile_definitions(${name} PRIVATE TEDSKIT_BUILDING_${upper})
  set_target_properties(${name} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION 1)
  if(ARG_LINKS)
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
  endif()
endfunction()

# The label of a test is the folder of tests/ it comes from, so `ctest -L engine` runs one
# subsystem's tests.
function(tedskit_subsystem_label out)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(${out} ${folder} PARENT_SCOPE)
endfunction()

# tedskit_discover_tests(TARGET [PREFIX text] [ENVIRONMENT var=value])
# Each case of a GoogleTest binary becomes a test of its own (`ctest -R Suite.Case`), run
# in its own process from the source root so data/ and examples/ resolve.
function(tedskit_discover_tests target)
  cmake_parse_arguments(ARG "" "PREFIX;ENVIRONMENT" "" ${ARGN})
  include(GoogleTest)
  tedskit_subsystem_label(label)
  set(properties LABELS ${label})
  if(ARG_ENVIRONMENT)
    list(APPEND properties ENVIRONMENT ${ARG_ENVIRONMENT})
  endif()
  gtest_discover_tests(${target}
    TEST_PREFIX "${ARG_PREFIX}"
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ${properties})
endfunction()

# tedskit_add_test(NAME SOURCES... [LINKS lib...])
# One GoogleTest binary; its cases are discovered as tests.
function(tedskit_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${TEDSKIT_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/include ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${ARG_LINKS})
  target_compile_definitions(${name} PRIVATE
    TEDSKIT_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TEDSKIT_TEST_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
  tedskit_discover_tests(${name})
endfunction()

# tedskit_check_exports(LIBRARY EXPORTS_FILE)
# Fails when a name listed in EXPORTS_FILE is missing from the library's dynamic
# symbols, or when the library exports anything the file does not list.
function(tedskit_check_exports library exports_file)
  add_test(NAME exports_${library}
    COMMAND sh ${PROJECT_SOURCE_DIR}/tests/abi/check_exports.sh $<TARGET_FILE:${library}> ${exports_file})
  set_tests_properties(exports_${library} PROPERTIES LABELS abi)
endfunction()

# tedskit_add_fuzzer(NAME SOURCE [LINKS lib...] [CORPUS dir])
# Under TEDSKIT_FUZZ a libFuzzer binary; otherwise a replay binary that runs every
# file of the corpus folder once, registered as a test.
function(tedskit_add_fuzzer name source)
  cmake_parse_arguments(ARG "" "CORPUS" "LINKS" ${ARGN})
  if(NOT ARG_CORPUS)
    set(ARG_CORPUS ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  endif()
  if(NOT IS_DIRECTORY ${ARG_CORPUS})
    message(FATAL_ERROR "fuzz target ${name} has no corpus folder ${ARG_CORPUS}")
  endif()
  set_property(GLOBAL APPEND PROPERTY TEDSKIT_FUZZ_CORPORA ${ARG_CORPUS})
  add_executable(${name} ${source})
  target_compile_options(${name} PRIVATE ${TEDSKIT_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LINKS})
  if(TEDSKIT_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    # CORPUS.seeds names shipped files and folders (one a line, from the source root) that
    # the replay also runs, so the corpus need not hold copies of them.
    set(seeds "")
    if(EXISTS ${ARG_CORPUS}.seeds)
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ARG_CORPUS}.seeds)
      file(STRINGS ${ARG_CORPUS}.seeds lines REGEX "^[^#]")
      foreach(line IN LISTS lines)
        if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${line})
          message(FATAL_ERROR "${ARG_CORPUS}.seeds: no such file: ${line}")
        endif()
        list(APPEND seeds ${PROJECT_SOURCE_DIR}/${line})
      endforeach()
    endif()
    add_test(NAME ${name}_replay COMMAND ${name} ${ARG_CORPUS} ${seeds} WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
    set_tests_properties(${name}_replay PROPERTIES LABELS fuzz)
  endif()
endfunction()

# tedskit_add_benchmark(NAME SOURCES... [LINKS lib...])
function(tedskit_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${TEDSKIT_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE benchmark::benchmark benchmark::benchmark_main ${ARG_LINKS})
  target_compile_definitions(${name} PRIVATE TEDSKIT_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()
