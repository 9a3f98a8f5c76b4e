# GoogleTest from Debian's source package, built by this project for whichever target it builds.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
if(TORVEX_WINDOWS)
  # googletest's own use of std::mutex needs the -posix compiler; its POSIX regex does not exist here.
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
endif()
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# torvex_add_test(name SOURCES ... LIBS ... [SERIAL]): one gtest executable whose tests ctest runs
# one process each, so every test starts from a freshly loaded module and a fresh bench. SERIAL
# tests run while no other test runs (they change what every test of the Wine prefix would see).
function(torvex_add_test name)
  cmake_parse_arguments(T "SERIAL" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  set(serial "")
  if(T_SERIAL)
    set(serial RUN_SERIAL TRUE)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES LABELS "${T_LABELS}" TIMEOUT 120 ${serial})
endfunction()
