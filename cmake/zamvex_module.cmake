# One function lays out a module the same way everywhere:
#   include/<module>/  public headers, the only ones other modules see
#   src/               code, private to the module (its own tests, fuzzers and
#                      benchmarks see it too); src/exports.cpp goes only into
#                      the shared library, src/main.cpp only into the program
#   tests/*_test.cpp           -> <module>_tests
#   tests/threaded/*_test.cpp  -> <module>_threaded_tests (label "<module>_threaded", also run under TSan)
#   fuzz/<name>_fuzz.cpp       -> <name>_fuzz_replay (replays fuzz/corpus/<name>/ under ctest)
#                                 and, with ZAMVEX_FUZZ, the libFuzzer binary <name>_fuzz
#   bench/<name>.cpp           -> bench_<name> (run by `make bench`, never by ctest)
#
# zamvex_module(<name> [SHARED <libname>] [PROGRAM <exe>] [DEPS <targets>...] [TEST_DEPS <targets>...])
# The static library <name>_core holds src/ and is what tests, fuzzers and benchmarks link;
# its include/ is public, its src/ reaches only the module's own targets.

function(zamvex_module name)
  cmake_parse_arguments(M "" "SHARED;PROGRAM" "DEPS;TEST_DEPS" ${ARGN})
  set(dir ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${dir}/src/*.cpp)
  list(REMOVE_ITEM srcs ${dir}/src/exports.cpp ${dir}/src/main.cpp)

  if(srcs)
    add_library(${name}_core STATIC ${srcs})
  else()
    add_library(${name}_core INTERFACE)
  endif()
  if(srcs)
    target_include_directories(${name}_core PUBLIC ${dir}/include PRIVATE ${dir}/src)
    target_link_libraries(${name}_core PUBLIC ${M_DEPS} Threads::Threads)
  else()
    target_include_directories(${name}_core INTERFACE ${dir}/include)
    target_link_libraries(${name}_core INTERFACE ${M_DEPS} Threads::Threads)
  endif()

  if(M_SHARED)
    add_library(${M_SHARED} SHARED ${dir}/src/exports.cpp)
    target_include_directories(${M_SHARED} PUBLIC ${dir}/include PRIVATE ${dir}/src)
    target_link_libraries(${M_SHARED} PRIVATE ${name}_core)
    # Each library answers its own MKGetDllVersion even when both are loaded.
    target_link_options(${M_SHARED} PRIVATE -Wl,-Bsymbolic
      -Wl,--version-script=${dir}/src/exports.map)
    # Catch a missing symbol at link time, except where clang's sanitizer
    # runtimes are only resolved when the program loads.
    if(ZAMVEX_SANITIZE STREQUAL "" AND NOT ZAMVEX_FUZZ)
      target_link_options(${M_SHARED} PRIVATE -Wl,--no-undefined)
    endif()
    set_target_properties(${M_SHARED} PROPERTIES LINK_DEPENDS ${dir}/src/exports.map)
  endif()

  if(M_PROGRAM)
    add_executable(${M_PROGRAM} ${dir}/src/main.cpp)
    target_include_directories(${M_PROGRAM} PRIVATE ${dir}/src)
    target_link_libraries(${M_PROGRAM} PRIVATE ${name}_core)
  endif()

  file(GLOB tests CONFIGURE_DEPENDS ${dir}/tests/*_test.cpp)
  if(tests)
    add_executable(${name}_tests ${tests})
    target_include_directories(${name}_tests PRIVATE ${dir}/src)
    target_link_libraries(${name}_tests PRIVATE ${name}_core ${M_TEST_DEPS} testing GTest::gmock_main)
    gtest_discover_tests(${name}_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${name})
  endif()
  file(GLOB threaded CONFIGURE_DEPENDS ${dir}/tests/threaded/*_test.cpp)
  if(threaded)
    add_executable(${name}_threaded_tests ${threaded})
    target_include_directories(${name}_threaded_tests PRIVATE ${dir}/src)
    target_link_libraries(${name}_threaded_tests PRIVATE ${name}_core ${M_TEST_DEPS} testing GTest::gmock_main)
    # One label: a list here would be flattened by the discovery and lose
    # "threaded"; `ctest -L threaded` matches it as a pattern. Discovery runs at
    # test time so that a sanitizer binary is listed under the same setarch as
    # it runs under (TSan may not start at all with full ASLR entropy).
    gtest_discover_tests(${name}_threaded_tests DISCOVERY_TIMEOUT 60 DISCOVERY_MODE PRE_TEST
                         PROPERTIES LABELS ${name}_threaded)
  endif()

  file(GLOB fuzzers CONFIGURE_DEPENDS ${dir}/fuzz/*_fuzz.cpp)
  foreach(f ${fuzzers})
    get_filename_component(fname ${f} NAME_WE)
    string(REGEX REPLACE "_fuzz$" "" short ${fname})
    add_executable(${fname}_replay ${f} ${PROJECT_SOURCE_DIR}/testing/src/fuzz_replay_main.cpp)
    target_include_directories(${fname}_replay PRIVATE ${dir}/src)
    target_link_libraries(${fname}_replay PRIVATE ${name}_core ${M_TEST_DEPS})
    add_test(NAME fuzz_replay.${short} COMMAND ${fname}_replay ${dir}/fuzz/corpus/${short})
    set_tests_properties(fuzz_replay.${short} PROPERTIES LABELS "${name};fuzz")
    if(ZAMVEX_FUZZ)
      add_executable(${fname} ${f})
      target_include_directories(${fname} PRIVATE ${dir}/src)
      target_compile_options(${fname} PRIVATE -fsanitize=fuzzer)
      target_link_options(${fname} PRIVATE -fsanitize=fuzzer)
      target_link_libraries(${fname} PRIVATE ${name}_core ${M_TEST_DEPS})
    endif()
  endforeach()

  file(GLOB benches CONFIGURE_DEPENDS ${dir}/bench/*.cpp)
  foreach(b ${benches})
    get_filename_component(bname ${b} NAME_WE)
    add_executable(bench_${bname} ${b})
    target_include_directories(bench_${bname} PRIVATE ${dir}/src)
    target_link_libraries(bench_${bname} PRIVATE ${name}_core ${M_TEST_DEPS} testing)
    set_property(GLOBAL APPEND PROPERTY ZAMVEX_BENCHES bench_${bname})
  endforeach()
endfunction()
