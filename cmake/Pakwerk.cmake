# Build rules shared by every folder of the project.
#
#   pakwerk_library(NAME SOURCES ... [LIBS ...])
#       A static library. In the native build its code is instrumented with
#       AddressSanitizer and UndefinedBehaviorSanitizer, and a second copy
#       NAME_bench without instrumentation is built for the benchmarks.
#   pakwerk_test(NAME SOURCES ... [LIBS ...] [LOCALES loc ...])
#       A GoogleTest program; it knows its sources' folder as
#       PAKWERK_TEST_DATA and its own name as PAKWERK_TEST_PROGRAM. The
#       target test_programs builds every one of them (and what they need),
#       nothing else: tools/test.sh builds the native side that way.
#       Its own sources compile as test code (pakwerk_test_code).
#       Native: every test case becomes a CTest test.
#       Windows: the program runs once under Wine (tools/wine-run.sh), once
#       per LOCALES entry with LC_ALL set to it (Wine takes the language and
#       the code page from LC_ALL).
#   pakwerk_fuzzer(NAME SOURCES ... [LIBS ...] CORPUS dir [DICT file])
#       A libFuzzer target, built only by the fuzz preset. fuzzers.list
#       holds one line per target: the program, its seed corpus and its
#       dictionary ("-" without one). tools/test.sh runs every target for a
#       short bounded time, tools/fuzz.sh for as long as asked.

option(PAKWERK_FUZZ "Build only the libraries and the libFuzzer targets" OFF)
option(PAKWERK_WERROR "Treat warnings in the project's own code as errors (the presets turn it on)" OFF)

set(PAKWERK_SANITIZERS -fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)

# The sources of the test programs only (the test cases, the test helpers,
# the end-to-end flows): not optimised. Their large case tables compile three
# to four times as fast as with -O2. Natively with line tables, for the
# sanitizers' file and line; under Wine nothing reads them (a failing test
# names its file and line itself). The libraries they test keep the build's
# flags: in the Windows build those of the shipped Pakwerk.exe, pakundo.exe
# and pakcheck.exe, natively -O2 with the sanitizers.
if(WIN32)
  set(PAKWERK_TEST_FLAGS -O0 -g0)
else()
  set(PAKWERK_TEST_FLAGS -O0 -g1)
endif()

# The Windows test code spends most of its compile time parsing windows.h and
# gtest/gtest.h (about 4 of a test source's 4.5 s): with this option the two
# are parsed once, into one precompiled header that all test code shares
# (pakwerk_test_code). Only the windows-x64 preset turns it on: clang-tidy
# reads the other builds' compile commands, and clang would take GCC's
# precompiled header for its own. So each source is still compiled, and
# checked, with just the headers it includes.
option(PAKWERK_PRECOMPILED_HEADERS "Share one precompiled windows.h and gtest/gtest.h among the Windows test code" OFF)

if(PAKWERK_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  file(WRITE ${CMAKE_BINARY_DIR}/fuzzers.list "")
elseif(WIN32)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(PAKWERK_PRECOMPILED_HEADERS)
    file(WRITE ${CMAKE_BINARY_DIR}/pakwerk_test_headers.cpp "")
    add_library(pakwerk_test_headers OBJECT ${CMAKE_BINARY_DIR}/pakwerk_test_headers.cpp)
    target_compile_options(pakwerk_test_headers PRIVATE ${PAKWERK_TEST_FLAGS})
    target_link_libraries(pakwerk_test_headers PRIVATE gtest)
    target_precompile_headers(pakwerk_test_headers PRIVATE <windows.h> <gtest/gtest.h>)
  endif()
  # One self-contained .exe: no mingw runtime DLLs beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# The project's own code only: GoogleTest (above) keeps its own flags, and the
# resource compiler gets none.
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-Wall> $<$<COMPILE_LANGUAGE:C,CXX>:-Wextra>)
if(PAKWERK_WERROR)
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-Werror>)
endif()

function(pakwerk_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBS")
  add_library(${name} STATIC ${arg_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${arg_LIBS})
  if(NOT WIN32 AND NOT PAKWERK_FUZZ)
    target_compile_options(${name} PRIVATE ${PAKWERK_SANITIZERS})
    set(bench_libs "")
    foreach(lib ${arg_LIBS})
      if(TARGET ${lib}_bench)
        list(APPEND bench_libs ${lib}_bench)
      else()
        list(APPEND bench_libs ${lib})
      endif()
    endforeach()
    add_library(${name}_bench STATIC EXCLUDE_FROM_ALL ${arg_SOURCES})
    target_include_directories(${name}_bench PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(${name}_bench PRIVATE -O2 -DNDEBUG)
    target_link_libraries(${name}_bench PUBLIC ${bench_libs})
  endif()
endfunction()

# Compiles the sources of TARGET (a test program or a library of test code)
# as test code: with PAKWERK_TEST_FLAGS and, when the build asks for it
# (Windows builds only), the shared precompiled header. GCC checks that the
# header was compiled with the same options as each source, and
# -Winvalid-pch (which CMake adds) makes a mismatch an error rather than a
# silent slow compile.
function(pakwerk_test_code target)
  target_compile_options(${target} PRIVATE ${PAKWERK_TEST_FLAGS})
  if(TARGET pakwerk_test_headers)
    target_precompile_headers(${target} REUSE_FROM pakwerk_test_headers)
  endif()
endfunction()

function(pakwerk_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBS;LOCALES")
  if(PAKWERK_FUZZ)
    return()
  endif()
  add_executable(${name} ${arg_SOURCES})
  if(NOT TARGET test_programs)
    add_custom_target(test_programs)
  endif()
  add_dependencies(test_programs ${name})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
      PAKWERK_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}"
      PAKWERK_TEST_PROGRAM="${name}")
  if(WIN32)
    pakwerk_test_code(${name})
    target_link_libraries(${name} PRIVATE ${arg_LIBS} gtest_main)
    if(arg_LOCALES)
      foreach(locale ${arg_LOCALES})
        add_test(NAME ${name}.${locale} COMMAND ${name})
        set_tests_properties(${name}.${locale} PROPERTIES ENVIRONMENT "LC_ALL=${locale}")
      endforeach()
    else()
      add_test(NAME ${name} COMMAND ${name})
    endif()
  else()
    pakwerk_test_code(${name})
    target_compile_options(${name} PRIVATE ${PAKWERK_SANITIZERS})
    target_link_options(${name} PRIVATE ${PAKWERK_SANITIZERS})
    target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

function(pakwerk_fuzzer name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "CORPUS;DICT" "SOURCES;LIBS")
  if(NOT PAKWERK_FUZZ)
    return()
  endif()
  add_executable(${name} ${arg_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${arg_LIBS})
  if(NOT arg_DICT)
    set(arg_DICT -)
  endif()
  file(APPEND ${CMAKE_BINARY_DIR}/fuzzers.list
       "${CMAKE_CURRENT_BINARY_DIR}/${name} ${arg_CORPUS} ${arg_DICT}\n")
endfunction()
