# Shared compile settings and the helpers the folders use to declare their
# libraries and tests.

set(ZV_WARNINGS -Wall -Wextra -Wpedantic -Werror -Wno-missing-field-initializers)

configure_file(${CMAKE_CURRENT_LIST_DIR}/ProductVersion.h.in ${CMAKE_BINARY_DIR}/generated/ProductVersion.h @ONLY)

add_library(zv_settings INTERFACE)
target_compile_options(zv_settings INTERFACE ${ZV_WARNINGS})
target_include_directories(zv_settings INTERFACE ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
if(WIN32)
  # ANSI Win32 API, no min/max macros, XP-era declarations plus what we look
  # up at run time.
  target_compile_definitions(zv_settings INTERFACE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601
                                                   WINVER=0x0601 STRICT)
endif()

if(ZV_RELEASE)
  # Each function and object in a section of its own, so that the linker can
  # drop what nothing uses; no build paths in the binaries; symbols for the
  # separate symbols file (tools/release strips the program).
  target_compile_options(zv_settings INTERFACE -g -ffunction-sections -fdata-sections
                         -ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
  target_link_options(zv_settings INTERFACE -Wl,--gc-sections)
endif()

if(ZV_SANITIZE OR ZV_FUZZ)
  set(ZV_SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_compile_options(zv_settings INTERFACE ${ZV_SAN_FLAGS})
  target_link_options(zv_settings INTERFACE ${ZV_SAN_FLAGS})
endif()

# zv_library(name SOURCES ... DEPS ...)
function(zv_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_link_libraries(${name} PUBLIC zv_settings ${A_DEPS})
endfunction()

# GoogleTest: the system package natively; built from its sources with the
# mingw toolchain for the Windows tests.
if(WIN32)
  if(NOT TARGET gtest)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
  set(ZV_GTEST gtest gmock)
  set(ZV_GTEST_MAIN gtest_main)
else()
  find_package(GTest REQUIRED)
  set(ZV_GTEST GTest::gtest GTest::gmock)
  set(ZV_GTEST_MAIN GTest::gtest_main)
endif()

# zv_host_test(name SOURCES ... DEPS ...): a native GoogleTest binary, one
# CTest test.
function(zv_host_test name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE zv_settings ${A_DEPS} ${ZV_GTEST} ${ZV_GTEST_MAIN})
  add_test(NAME host.${name} COMMAND ${name})
  set_tests_properties(host.${name} PROPERTIES LABELS host
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0;UBSAN_OPTIONS=print_stacktrace=1;ZV_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# zv_win_test(name SOURCES ... DEPS ... [GUI]): a Windows GoogleTest binary run
# through Wine inside the test harness (scratch prefix, Xvfb, wineserver);
# one CTest test.
#
# The x86_64 build's tests are named win.<name>; the shipped i686 build's,
# which run in a WoW64 prefix (the platform's 32-bit view), wow64.<name>.
# Each build has its own harness, fixtures and display, so the two suites
# can run side by side in one CTest run.
set(ZV_WINE_RUN ${PROJECT_SOURCE_DIR}/tools/wine-run)
if(WIN32)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(ZV_WIN_TEST_PREFIX win)
    set(ZV_WINE_FIXTURE wine)
    file(WRITE ${CMAKE_BINARY_DIR}/harness-arch "win64")
  else()
    set(ZV_WIN_TEST_PREFIX wow64)
    set(ZV_WINE_FIXTURE wine_wow64)
    file(WRITE ${CMAKE_BINARY_DIR}/harness-arch "wow64")
  endif()
endif()
function(zv_win_test name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE zv_settings ${A_DEPS} ${ZV_GTEST})
  target_link_options(${name} PRIVATE -mconsole)
  if(ZV_WIN_TEST_LIST AND NOT name IN_LIST ZV_WIN_TEST_LIST)
    return()
  endif()
  add_test(NAME ${ZV_WIN_TEST_PREFIX}.${name} COMMAND ${ZV_WINE_RUN} ${CMAKE_BINARY_DIR} $<TARGET_FILE:${name}>)
  set_tests_properties(${ZV_WIN_TEST_PREFIX}.${name} PROPERTIES LABELS ${ZV_WIN_TEST_PREFIX}
    FIXTURES_REQUIRED ${ZV_WINE_FIXTURE} RESOURCE_LOCK ${ZV_WINE_FIXTURE}_display
    TIMEOUT 900 ENVIRONMENT "ZV_SOURCE_DIR=${PROJECT_SOURCE_DIR};ZV_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# zv_fuzz_target(name SOURCES ... DEPS ... CORPUS dir...): a libFuzzer target
# (fuzz preset only). The test suite runs each for ZV_FUZZ_SECONDS over a
# scratch copy of its corpus directories; findings go to build/fuzz/<name>-artifacts.
function(zv_fuzz_target name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;CORPUS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE zv_settings ${A_DEPS})
  add_test(NAME fuzz.${name}
    COMMAND ${PROJECT_SOURCE_DIR}/tools/fuzz-run $<TARGET_FILE:${name}> ${ZV_FUZZ_SECONDS}
            ${CMAKE_BINARY_DIR}/${name} ${A_CORPUS})
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 1800)
endfunction()

# zv_benchmark(name SOURCES ... DEPS ...): a Google Benchmark binary, built
# natively and run on demand (tools/bench), never as a test.
function(zv_benchmark name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  find_package(benchmark QUIET)
  if(NOT benchmark_FOUND)
    message(STATUS "Google Benchmark not found: ${name} not built")
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE zv_settings ${A_DEPS} benchmark::benchmark)
endfunction()
