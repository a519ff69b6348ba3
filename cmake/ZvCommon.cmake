# Helpers shared by every folder. Targets come in three kinds:
#   zv_logic_library  - no <windows.h>; built in every flavour and unit-tested natively;
#   zv_win_library / zv_win_executable / zv_win_dll - Win32 code, cross builds only;
#   zv_native_test / zv_wine_test - GoogleTest programs of the native and win flavours;
#   zv_fuzzer - a libFuzzer program of the fuzz flavour.

set(ZV_WARNINGS -Wall -Wextra -Werror -Wno-cast-function-type)

# The flavours that only run tests are built for a short build: optimised lightly, and the Wine
# flavour without debug information. The shipped files keep the release build (-O2 -g). (Unity
# builds were tried and dropped: test helpers of one name in two files of a program became
# overloads of each other and silently changed what a test checked.)
if(NOT ZV_FLAVOR STREQUAL "ship")
  if(ZV_FLAVOR STREQUAL "win")
    set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O1 -DNDEBUG")
    set(CMAKE_C_FLAGS_RELWITHDEBINFO "-O1 -DNDEBUG")
  else()
    set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O1 -g -DNDEBUG")
    set(CMAKE_C_FLAGS_RELWITHDEBINFO "-O1 -g -DNDEBUG")
  endif()
endif()

if(ZV_FLAVOR STREQUAL "native")
  set(ZV_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_compile_options(${ZV_SANITIZE} -g)
  add_link_options(${ZV_SANITIZE})
elseif(ZV_FLAVOR STREQUAL "fuzz")
  # Every library gets libFuzzer's coverage hooks; only the fuzzers link its driver.
  set(ZV_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_compile_options(-fsanitize=fuzzer-no-link ${ZV_SANITIZE} -g)
  add_link_options(${ZV_SANITIZE})
else()
  # XP is the oldest target: no later API may compile by accident.
  add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600 NOMINMAX
                          WIN32_LEAN_AND_MEAN STRICT)
  # Everything static, so the folder runs on a bare XP (and under Wine with no extra DLLs).
  add_link_options(-static -static-libgcc -static-libstdc++
                   -Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,1
                   -Wl,--major-os-version,5 -Wl,--minor-os-version,1)
endif()

function(zv_our_target name)
  target_compile_options(${name} PRIVATE ${ZV_WARNINGS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# In the fuzz flavour only the libraries a fuzzer links are built.
function(zv_logic_library name)
  if(ZV_FLAVOR STREQUAL "fuzz")
    add_library(${name} STATIC EXCLUDE_FROM_ALL ${ARGN})
  else()
    add_library(${name} STATIC ${ARGN})
  endif()
  zv_our_target(${name})
endfunction()

# A source that test programs of several folders share (given by its full path) is compiled
# once, into an object library of its own, which every test that lists it links.
function(zv_test_sources out)
  set(own)
  foreach(src ${ARGN})
    get_filename_component(full ${src} ABSOLUTE)
    string(FIND "${full}" "${CMAKE_CURRENT_SOURCE_DIR}/" at)
    if(at EQUAL 0)
      list(APPEND own ${src})
    else()
      file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${full})
      string(MAKE_C_IDENTIFIER "zv_shared_${rel}" lib)
      if(NOT TARGET ${lib})
        add_library(${lib} OBJECT ${full})
        zv_our_target(${lib})
        target_link_libraries(${lib} PUBLIC ${ARG_LIBS} GTest::gmock)
      endif()
      list(APPEND own $<TARGET_OBJECTS:${lib}>)
    endif()
  endforeach()
  set(${out} ${own} PARENT_SCOPE)
endfunction()

function(zv_win_library name)
  if(WIN32)
    add_library(${name} STATIC ${ARGN})
    zv_our_target(${name})
  endif()
endfunction()

# zv_win_executable(name [GUI] sources...)
function(zv_win_executable name)
  if(WIN32)
    cmake_parse_arguments(ARG "GUI" "" "" ${ARGN})
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
    zv_our_target(${name})
    if(ARG_GUI)
      target_link_options(${name} PRIVATE -mwindows)
    endif()
  endif()
endfunction()

# zv_win_dll(name DEF file.def sources...): a DLL with exact export names from a .def file.
function(zv_win_dll name)
  if(WIN32)
    cmake_parse_arguments(ARG "" "DEF;OUTPUT_NAME" "" ${ARGN})
    add_library(${name} SHARED ${ARG_UNPARSED_ARGUMENTS} ${ARG_DEF})
    zv_our_target(${name})
    set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${ARG_OUTPUT_NAME})
    target_link_options(${name} PRIVATE -Wl,--kill-at)
  endif()
endfunction()

# zv_native_test(name SOURCES ... LIBS ...)
function(zv_native_test name)
  if(ZV_FLAVOR STREQUAL "native")
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    zv_test_sources(sources ${ARG_SOURCES})
    add_executable(${name} ${sources})
    zv_our_target(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
    # Judged by its test report, so that a program that ran no tests cannot pass.
    add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/gtest-run $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES TIMEOUT 120 LABELS native SKIP_RETURN_CODE 77)
  endif()
endfunction()

# The next Wine test's prefix: the build has two (scripts/wine-server), each with a wineserver
# and at most one stand-in shell of its own, and the tests take turns between them, so that two
# run at once. Each prefix is one resource lock. Sets <out>_lock and <out>_env.
function(zv_next_wine_slot out)
  get_property(count GLOBAL PROPERTY ZV_WINE_TESTS)
  if(NOT count)
    set(count 0)
  endif()
  math(EXPR next "${count} + 1")
  set_property(GLOBAL PROPERTY ZV_WINE_TESTS ${next})
  math(EXPR slot "${count} % 2")
  if(slot EQUAL 0)
    set(${out}_lock wineprefix PARENT_SCOPE)
    set(${out}_env "" PARENT_SCOPE)
  else()
    set(${out}_lock wineprefix-2 PARENT_SCOPE)
    set(${out}_env "ZV_WINE_SLOT=2" PARENT_SCOPE)
  endif()
endfunction()

# zv_wine_test(name SOURCES ... LIBS ... [TIMEOUT s] [EXPECT_FAILURE])
# A GoogleTest program run under Wine in one of the build's two private prefixes
# (zv_next_wine_slot) and judged by its test report (scripts/wine-run --gtest). Programs named bench_* are benchmarks: label bench,
# which the test command runs and reports apart from the tests.
# EXPECT_FAILURE: a canary of the harness itself, which passes only while the harness reports
# the program as failed; a hang is not such a failure: ctest's own limit, shorter than
# wine-run's, reports it as a timeout.
function(zv_wine_test name)
  if(ZV_FLAVOR STREQUAL "win")
    cmake_parse_arguments(ARG "EXPECT_FAILURE" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_TIMEOUT)
      set(ARG_TIMEOUT 300)
    endif()
    zv_test_sources(sources ${ARG_SOURCES})
    add_executable(${name} ${sources})
    zv_our_target(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
    set(run_limit ${ARG_TIMEOUT})
    set(labels wine)
    if(name MATCHES "^bench_")
      list(APPEND labels bench)
    endif()
    if(ARG_EXPECT_FAILURE)
      math(EXPR run_limit "${ARG_TIMEOUT} * 2")
      list(APPEND labels canary)
    endif()
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-run --timeout ${run_limit} --gtest
                     $<TARGET_FILE:${name}>)
    zv_next_wine_slot(slot)
    set(env "ZV_BUILD=${ZV_BUILD}" ${slot_env})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${labels}"
                         RESOURCE_LOCK ${slot_lock} FIXTURES_REQUIRED wine
                         ENVIRONMENT "${env}")
    if(ARG_EXPECT_FAILURE)
      set_tests_properties(${name} PROPERTIES WILL_FAIL TRUE)
    else()
      set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
    endif()
  endif()
endfunction()

# zv_wine_test_again(name OF program [FILTER gtest-filter] [TIMEOUT s] [ENVIRONMENT VAR=value...])
# The Wine test program `program` (made by zv_wine_test) run once more as the test `name`,
# its tests narrowed by FILTER, with more environment variables.
function(zv_wine_test_again name)
  if(ZV_FLAVOR STREQUAL "win")
    cmake_parse_arguments(ARG "" "OF;FILTER;TIMEOUT" "ENVIRONMENT" ${ARGN})
    if(NOT ARG_TIMEOUT)
      set(ARG_TIMEOUT 300)
    endif()
    zv_next_wine_slot(slot)
    set(env "ZV_BUILD=${ZV_BUILD}" ${slot_env} ${ARG_ENVIRONMENT})
    if(ARG_FILTER)
      list(APPEND env "GTEST_FILTER=${ARG_FILTER}")
    endif()
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-run --timeout ${ARG_TIMEOUT} --gtest
                     $<TARGET_FILE:${ARG_OF}>)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS wine
                         RESOURCE_LOCK ${slot_lock} FIXTURES_REQUIRED wine
                         SKIP_RETURN_CODE 77 ENVIRONMENT "${env}")
  endif()
endfunction()

# zv_fuzzer(name SOURCES ... LIBS ...): the libFuzzer program fuzz_<name>, whose seed corpus
# is the folder seeds/ beside its sources. ctest runs it for a short, fixed time on a copy of
# the seeds (label fuzz); scripts/fuzz.sh runs it longer and keeps what it finds.
function(zv_fuzzer name)
  if(ZV_FLAVOR STREQUAL "fuzz")
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(fuzz_${name} ${ARG_SOURCES})
    zv_our_target(fuzz_${name})
    target_link_libraries(fuzz_${name} PRIVATE ${ARG_LIBS})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    add_test(NAME fuzz_${name}
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/fuzz.sh --time 8 --scratch ${name})
    set_tests_properties(fuzz_${name} PROPERTIES TIMEOUT 120 LABELS fuzz
                         ENVIRONMENT "ZV_BUILD=${ZV_BUILD}")
  endif()
endfunction()
