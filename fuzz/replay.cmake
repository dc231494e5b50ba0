# The fuzz targets built with the project's own compiler and run by
# fuzz/replay.cpp instead of libFuzzer: the seed corpus and a fixed number
# of seeded random changes of it, as CTest tests fuzz_replay_<target>.
# Included by tests/CMakeLists.txt when KELVO_FUZZ_REPLAY is on (the
# build without vector paths), where clang's libFuzzer build never runs.
set(FUZZ_DIR ${PROJECT_SOURCE_DIR}/fuzz)
set(FUZZ_REPLAY_RUNS 1000 CACHE STRING "Changed inputs each fuzz_replay test runs")

# The fuzz harness, on the helpers and models the unit tests share.
add_library(fuzz_replay_harness STATIC
  ${FUZZ_DIR}/harness.cpp ${FUZZ_DIR}/variable_call.cpp ${FUZZ_DIR}/markup_check.cpp
  ${FUZZ_DIR}/replay.cpp)
target_include_directories(fuzz_replay_harness PUBLIC ${FUZZ_DIR})
target_compile_options(fuzz_replay_harness PRIVATE ${KELVO_WARNINGS})
target_link_libraries(fuzz_replay_harness PUBLIC kelvo_test_support)

# The shell's line runner with platform services that open no file, for
# the shell target, as the fuzz build has it.
add_library(fuzz_replay_shell STATIC ${KELVO_SHELL_RUNNER_SOURCES} ${FUZZ_DIR}/shell_platform.cpp)
target_include_directories(fuzz_replay_shell PUBLIC ${PROJECT_SOURCE_DIR}/host)
target_compile_options(fuzz_replay_shell PRIVATE ${KELVO_WARNINGS})
target_link_libraries(fuzz_replay_shell PUBLIC takecmd)

set(FUZZ_SEEDS ${CMAKE_CURRENT_BINARY_DIR}/fuzz-seeds)
add_test(NAME fuzz_replay_seeds
  COMMAND sh -c "rm -rf '${FUZZ_SEEDS}' && /usr/bin/python3 '${FUZZ_DIR}/make_corpus.py' '${FUZZ_SEEDS}'")
set_tests_properties(fuzz_replay_seeds PROPERTIES FIXTURES_SETUP fuzz_seeds)

file(GLOB FUZZ_TARGET_SOURCES CONFIGURE_DEPENDS ${FUZZ_DIR}/targets/*_fuzz.cpp)
foreach(source ${FUZZ_TARGET_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" target ${name})
  add_executable(replay_${target} ${source})
  target_compile_options(replay_${target} PRIVATE ${KELVO_WARNINGS})
  target_link_libraries(replay_${target} PRIVATE fuzz_replay_harness)
  set_target_properties(replay_${target} PROPERTIES BUILD_RPATH "$<TARGET_FILE_DIR:takecmd>")
  add_test(NAME fuzz_replay_${target}
    COMMAND replay_${target} -runs=${FUZZ_REPLAY_RUNS} ${FUZZ_SEEDS}/${target})
  set_tests_properties(fuzz_replay_${target} PROPERTIES FIXTURES_REQUIRED fuzz_seeds)
endforeach()
target_link_libraries(replay_shell PRIVATE fuzz_replay_shell)
