# GoogleTest from Debian's source package, built by this project for whichever target it builds.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
if(TORVEX_WINDOWS)
  # googletest's own use of std::mutex needs the -posix compiler; its POSIX regex does not exist here.
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
endif()
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE ${TORVEX_TEST_COMPILE_OPTIONS})
target_compile_options(gtest_main PRIVATE ${TORVEX_TEST_COMPILE_OPTIONS})

# Where every test program leaves GoogleTest's XML report, one file per program; tools/test.sh
# reads the cases from there.
set(TORVEX_TEST_RESULTS ${CMAKE_BINARY_DIR}/test-results)
file(MAKE_DIRECTORY ${TORVEX_TEST_RESULTS})
if(TORVEX_WINDOWS)
  # Wine shows the Linux root as drive Z:.
  set(torvex_results_path "Z:${TORVEX_TEST_RESULTS}")
else()
  set(torvex_results_path "${TORVEX_TEST_RESULTS}")
endif()

# torvex_add_test(name SOURCES ... LIBS ... [LABELS ...] [SERIAL] [EACH_CASE_ALONE]): one gtest
# program, run by ctest as one test, <area>.<name>: all its cases in one process (a failure names its
# case in the output and the XML report). The label is the test's area (its folder under tests/)
# unless LABELS says otherwise. SERIAL programs run while no other test runs (they change what every
# program of the Wine prefix would see); EACH_CASE_ALONE programs run each case in a process of its
# own (the code under test keeps its state for the life of the process). Each says why where it is
# declared.
function(torvex_add_test name)
  cmake_parse_arguments(T "SERIAL;EACH_CASE_ALONE" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(TARGET torvex_test_headers)
    target_precompile_headers(${name} REUSE_FROM torvex_test_headers)
  endif()
  if(NOT T_LABELS)
    get_filename_component(T_LABELS ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  endif()
  # Named <area>.<program>, so that a pattern picks an area or a program.
  set(test ${T_LABELS}.${name})
  if(T_EACH_CASE_ALONE)
    add_test(NAME ${test} COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/each-case.sh ${torvex_results_path}/${name}
                                     $<TARGET_FILE:${name}> ${CMAKE_CROSSCOMPILING_EMULATOR})
  else()
    add_test(NAME ${test} COMMAND ${name} --gtest_output=xml:${torvex_results_path}/${name}.xml)
  endif()
  set_tests_properties(${test} PROPERTIES LABELS "${T_LABELS}" TIMEOUT 600)
  if(T_SERIAL)
    set_tests_properties(${test} PROPERTIES RUN_SERIAL TRUE)
  endif()
  if(TORVEX_WINDOWS)
    set_tests_properties(${test} PROPERTIES SKIP_RETURN_CODE ${TORVEX_WINE_UNAVAILABLE})
  endif()
endfunction()
