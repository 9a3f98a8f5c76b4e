# Header-only libraries from Debian's archive: nlohmann-json and CLI11. They live in /usr/include,
# which the cross compiler must not search as a whole (glibc's headers would shadow MinGW's), so
# the build reaches them through a folder that holds only links to them.
set(TORVEX_THIRD_PARTY_DIR ${CMAKE_BINARY_DIR}/third_party)
file(MAKE_DIRECTORY ${TORVEX_THIRD_PARTY_DIR})
foreach(lib nlohmann CLI)
  if(NOT EXISTS /usr/include/${lib})
    message(FATAL_ERROR "/usr/include/${lib} is missing: run cmake/setup-machine.sh")
  endif()
  file(CREATE_LINK /usr/include/${lib} ${TORVEX_THIRD_PARTY_DIR}/${lib} SYMBOLIC)
endforeach()
add_library(torvex_third_party INTERFACE)
target_include_directories(torvex_third_party SYSTEM INTERFACE ${TORVEX_THIRD_PARTY_DIR})
