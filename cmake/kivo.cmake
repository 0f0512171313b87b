# Shared build settings and helper functions of the project.

set(KIVO_WARNINGS -Wall -Wextra -Werror)

# Release builds use -O2: gcc 12's -O3 inlining of std::string reports
# impossible overflows (-Wrestrict, -Wstringop-overflow) that -Werror turns
# into failures. The speed targets are measured at -O2 as well.
foreach(lang C CXX)
  string(REPLACE "-O3" "-O2" CMAKE_${lang}_FLAGS_RELEASE "${CMAKE_${lang}_FLAGS_RELEASE}")
endforeach()

if(KIVO_SANITIZER STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(KIVO_SANITIZER STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT KIVO_SANITIZER STREQUAL "")
  message(FATAL_ERROR "KIVO_SANITIZER must be empty, address or thread")
endif()

if(KIVO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KIVO_FUZZ needs clang (CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# kivo_target_defaults(target): warnings and include root for every target.
function(kivo_target_defaults target)
  target_compile_options(${target} PRIVATE ${KIVO_WARNINGS})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# kivo_add_program(name SOURCES...): one of the shipped programs, linked with kivo.
function(kivo_add_program name)
  add_executable(${name} ${ARGN})
  kivo_target_defaults(${name})
  target_link_libraries(${name} PRIVATE kivo kivo_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
endfunction()

# kivo_add_test_dir(dir [LABELS l...] [LIBS lib...]): every *.cpp of a test folder
# becomes one GoogleTest program; each test is registered with CTest on its own
# so that process-wide toolkit state never leaks from one test into another.
function(kivo_add_test_dir dir)
  cmake_parse_arguments(T "" "" "LABELS;LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  string(REPLACE "/" "_" name "test_${dir}")
  add_executable(${name} ${sources})
  kivo_target_defaults(${name})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE kivo kivo_testsupport GTest::gtest GTest::gmock GTest::gtest_main ${T_LIBS})
  # GoogleTest's headers dominate the compile time of small test files.
  target_precompile_headers(${name} PRIVATE <gtest/gtest.h> <gmock/gmock.h> <string> <vector>)
  set(props LABELS "${T_LABELS}" ENVIRONMENT "KIVO_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  if("x11" IN_LIST T_LABELS)
    # One X server for all: x11 tests must not fight over focus and stacking.
    list(APPEND props RESOURCE_LOCK xserver)
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    PROPERTIES ${props}
    DISCOVERY_TIMEOUT 60)
endfunction()

# kivo_add_fuzzer(name SOURCES...): a libFuzzer target, built only with KIVO_FUZZ.
# The executables land in <build>/fuzz; tools/test-all runs each of them for a
# bounded time with the seed corpus found in tests/fuzz/corpus/<name>, if any.
function(kivo_add_fuzzer name)
  if(NOT KIVO_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARGN})
  kivo_target_defaults(${name})
  target_link_libraries(${name} PRIVATE kivo)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzz)
endfunction()

# kivo_add_bench(name SOURCES...): a Google Benchmark program in bench/.
function(kivo_add_bench name)
  add_executable(${name} ${ARGN})
  kivo_target_defaults(${name})
  target_link_libraries(${name} PRIVATE kivo benchmark::benchmark benchmark::benchmark_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endfunction()
