# What a host developer gets: `cmake --install` into a prefix, or the zip of the `package` target.
# Each width's build installs its own binaries; both install the same shared files, so installing the
# 32-bit and the 64-bit build into one prefix gives the whole package:
#   bin/         TorvexModule.dll, torvexctl.exe (32-bit), each stripped, its debugging information
#                beside it in <name>.debug (torvexctl's: only of the module code it is built on)
#   bin/x64/     the same for 64-bit hosts
#   include/     TorvexModule.h
#   lib/x86/, lib/x64/  libTorvexModule.dll.a (MinGW), TorvexModule.lib (MSVC)
#   lib/cmake/TorvexModule/  the package a host finds with find_package(TorvexModule); it picks the
#                host's width
#   docs/        api.md, design.md, performance.md
#   examples/    the C hosts, buildable on their own against this package
#   bench/       the virtual bench: its DLLs (bin/ for 32-bit, bin/x64/ for 64-bit), scenarios, README
#   README.md, CHANGELOG.md, CONTRIBUTING.md, LICENSE, THIRD_PARTY_NOTICES.txt
include(CMakePackageConfigHelpers)

set(TORVEX_PACKAGE_DIR lib/cmake/TorvexModule)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TORVEX_WIDTH x64)
  set(TORVEX_BIN_DIR bin/x64)
  set(TORVEX_BENCH_BIN_DIR bench/bin/x64)
  set(TORVEX_PACKAGE_SUFFIX win64)
else()
  set(TORVEX_WIDTH x86)
  set(TORVEX_BIN_DIR bin)
  set(TORVEX_BENCH_BIN_DIR bench/bin)
  set(TORVEX_PACKAGE_SUFFIX win32)
endif()
set(TORVEX_LIB_DIR lib/${TORVEX_WIDTH})

find_program(TORVEX_OBJCOPY ${TORVEX_MINGW_TRIPLE}-objcopy REQUIRED)
find_program(TORVEX_STRIP ${TORVEX_MINGW_TRIPLE}-strip REQUIRED)

install(TARGETS TorvexModule torvex_public_header EXPORT TorvexModuleTargets-${TORVEX_WIDTH}
  RUNTIME DESTINATION ${TORVEX_BIN_DIR}
  ARCHIVE DESTINATION ${TORVEX_LIB_DIR}
  INCLUDES DESTINATION include)
install(FILES include/TorvexModule.h DESTINATION include)
install(FILES ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/TorvexModule.lib DESTINATION ${TORVEX_LIB_DIR})
install(TARGETS torvexctl RUNTIME DESTINATION ${TORVEX_BIN_DIR})

# The shipped binary is stripped and names its debugging information, <name>.debug beside it, for a
# debugger to find. Both are made from the build tree's binary, which keeps its debugging
# information, so the result does not depend on whether the copy installed above was stripped
# (`cmake --install --strip`) or was left from an earlier install. objcopy and strip would stamp
# their output with the current time; SOURCE_DATE_EPOCH makes them keep the link's time stamp, so
# that every install of one build, and the zip, ship the same bytes.
install(CODE "
  set(_torvex_binaries \"$<TARGET_FILE:TorvexModule>;$<TARGET_FILE:torvexctl>\")
  set(_torvex_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TORVEX_BIN_DIR}\")
  set(_torvex_objcopy \"${TORVEX_OBJCOPY}\")
  set(_torvex_strip \"${TORVEX_STRIP}\")
")
install(CODE [[
  foreach(_torvex_binary IN LISTS _torvex_binaries)
    get_filename_component(_torvex_name "${_torvex_binary}" NAME)
    message(STATUS "Stripping: ${_torvex_dir}/${_torvex_name}, its debugging information in ${_torvex_name}.debug")
    # The PE header's offset is at 0x3c, its time stamp 8 bytes into it; both little-endian.
    set(_torvex_offset 60)
    foreach(_torvex_field IN ITEMS header_offset time_stamp)
      file(READ "${_torvex_binary}" _torvex_bytes OFFSET ${_torvex_offset} LIMIT 4 HEX)
      string(REGEX REPLACE "^(..)(..)(..)(..)$" "\\4\\3\\2\\1" _torvex_bytes "${_torvex_bytes}")
      math(EXPR _torvex_${_torvex_field} "0x${_torvex_bytes}")
      math(EXPR _torvex_offset "${_torvex_${_torvex_field}} + 8")
    endforeach()
    set(ENV{SOURCE_DATE_EPOCH} ${_torvex_time_stamp})
    execute_process(COMMAND "${_torvex_objcopy}" --only-keep-debug "${_torvex_binary}" ${_torvex_name}.debug
      WORKING_DIRECTORY "${_torvex_dir}" COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND "${_torvex_strip}" "${_torvex_binary}" -o ${_torvex_name}
      WORKING_DIRECTORY "${_torvex_dir}" COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND "${_torvex_objcopy}" --add-gnu-debuglink=${_torvex_name}.debug ${_torvex_name}
      WORKING_DIRECTORY "${_torvex_dir}" COMMAND_ERROR_IS_FATAL ANY)
    unset(ENV{SOURCE_DATE_EPOCH})
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_torvex_dir}/${_torvex_name}.debug")
  endforeach()
]])

# One targets file per width; the config file includes the host's.
install(EXPORT TorvexModuleTargets-${TORVEX_WIDTH} NAMESPACE TorvexModule::
  FILE TorvexModuleTargets-${TORVEX_WIDTH}.cmake DESTINATION ${TORVEX_PACKAGE_DIR})
configure_package_config_file(cmake/TorvexModuleConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/TorvexModuleConfig.cmake INSTALL_DESTINATION ${TORVEX_PACKAGE_DIR})
# Before 1.0 a new minor version may change the interface. The width is the config file's to check:
# it knows which widths the prefix holds.
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/TorvexModuleConfigVersion.cmake
  COMPATIBILITY SameMinorVersion ARCH_INDEPENDENT)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/TorvexModuleConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/TorvexModuleConfigVersion.cmake DESTINATION ${TORVEX_PACKAGE_DIR})

install(FILES docs/api.md docs/design.md docs/performance.md DESTINATION docs)
install(FILES examples/CMakeLists.txt examples/board_report.h examples/board_report.c examples/print_boards.c
  examples/print_boards_dynamic.c DESTINATION examples)
# Every DLL and program the bench builds, and every shipped machine.
install(DIRECTORY $<TARGET_FILE_DIR:torvexbench>/ DESTINATION ${TORVEX_BENCH_BIN_DIR}
  FILES_MATCHING PATTERN "*.dll" PATTERN "*.exe")
install(DIRECTORY bench/scenarios/ DESTINATION bench/scenarios FILES_MATCHING PATTERN "*.json")
install(FILES bench/README.md DESTINATION bench)
install(FILES README.md CHANGELOG.md CONTRIBUTING.md LICENSE THIRD_PARTY_NOTICES.txt DESTINATION .)

# The zip holds this build's install; pointing TORVEX_OTHER_WIDTH_BUILD at the other width's build
# tree (built first) adds that one's, for one zip with both widths.
set(TORVEX_OTHER_WIDTH_BUILD "" CACHE PATH "The other width's build tree, whose install the zip also holds")
set(CPACK_INSTALL_CMAKE_PROJECTS ${CMAKE_BINARY_DIR} TorvexModule ALL /)
if(TORVEX_OTHER_WIDTH_BUILD)
  if(NOT EXISTS ${TORVEX_OTHER_WIDTH_BUILD}/cmake_install.cmake)
    message(FATAL_ERROR "TORVEX_OTHER_WIDTH_BUILD: ${TORVEX_OTHER_WIDTH_BUILD} is no configured build tree")
  endif()
  list(APPEND CPACK_INSTALL_CMAKE_PROJECTS ${TORVEX_OTHER_WIDTH_BUILD} TorvexModule ALL /)
  set(TORVEX_PACKAGE_SUFFIX windows)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME TorvexModule)
set(CPACK_PACKAGE_VENDOR "The TorvexModule developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "TorvexModule.dll for Windows hosts, with its header, import libraries, docs, torvexctl and the virtual bench")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME TorvexModule-${PROJECT_VERSION}-${TORVEX_PACKAGE_SUFFIX})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# The install already ships stripped binaries with their debugging information beside them.
set(CPACK_STRIP_FILES OFF)
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)
