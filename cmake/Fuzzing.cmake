# Coverage-guided fuzzing in the native build. With clang, every native target is compiled with
# libFuzzer's coverage instrumentation (-fsanitize=fuzzer-no-link, beside ASan and UBSan), so a
# fuzz target explores the code under test, not only its own entry function. Each target gets a
# short smoke run as a test; tools/fuzz.sh runs them for as long as one likes.
if(NOT TORVEX_WINDOWS AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND TORVEX_SANITIZE)
  set(TORVEX_FUZZING ON)
  add_compile_options(-fsanitize=fuzzer-no-link)
  # One line per target, "name<TAB>program<TAB>seed folder", for tools/fuzz.sh.
  set(TORVEX_FUZZ_TARGETS ${CMAKE_BINARY_DIR}/fuzz-targets.txt)
  file(WRITE ${TORVEX_FUZZ_TARGETS} "")
else()
  set(TORVEX_FUZZING OFF)
endif()
set(TORVEX_FUZZ_SMOKE_SECONDS 5 CACHE STRING "Length of each fuzz target's smoke run in the tests (tools/fuzz.sh runs longer)")

# torvex_add_fuzzer(name SOURCES ... LIBS ... CORPUS dir): a libFuzzer target and its smoke test.
# CORPUS is the committed seed folder, which the runs only read; what they find goes into
# <build>/fuzz-corpus/<name>.
function(torvex_add_fuzzer name)
  if(NOT TORVEX_FUZZING)
    return()
  endif()
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT F_CORPUS OR NOT IS_DIRECTORY ${F_CORPUS})
    message(FATAL_ERROR "fuzz target ${name} needs its committed seed folder (CORPUS)")
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(work ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
  file(MAKE_DIRECTORY ${work})
  file(APPEND ${TORVEX_FUZZ_TARGETS} "${name}\t${CMAKE_CURRENT_BINARY_DIR}/${name}\t${F_CORPUS}\n")
  add_test(NAME fuzz.${name}
    COMMAND ${name} -max_total_time=${TORVEX_FUZZ_SMOKE_SECONDS} -print_final_stats=1 ${work} ${F_CORPUS})
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()
