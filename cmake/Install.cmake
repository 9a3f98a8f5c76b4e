# What a host developer gets: `cmake --install` into a prefix, or the zip of the `package` target,
# both laid out as
#   bin/         TorvexModule.dll, torvexctl.exe
#   include/     TorvexModule.h
#   lib/         libTorvexModule.dll.a (MinGW), TorvexModule.lib (MSVC), cmake/TorvexModule/ (the
#                package a host finds with find_package(TorvexModule))
#   docs/        api.md
#   examples/    the C hosts, buildable on their own against this package
#   bench/       the virtual bench: its DLLs (bin/), scenarios and README
#   README.md, LICENSE, THIRD_PARTY_NOTICES.txt
include(CMakePackageConfigHelpers)

set(TORVEX_PACKAGE_DIR lib/cmake/TorvexModule)

install(TARGETS TorvexModule torvex_public_header EXPORT TorvexModuleTargets
  RUNTIME DESTINATION bin
  ARCHIVE DESTINATION lib
  INCLUDES DESTINATION include)
install(FILES include/TorvexModule.h DESTINATION include)
install(FILES ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/TorvexModule.lib DESTINATION lib)
install(TARGETS torvexctl RUNTIME DESTINATION bin)

install(EXPORT TorvexModuleTargets NAMESPACE TorvexModule:: DESTINATION ${TORVEX_PACKAGE_DIR})
configure_package_config_file(cmake/TorvexModuleConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/TorvexModuleConfig.cmake INSTALL_DESTINATION ${TORVEX_PACKAGE_DIR})
# Before 1.0 a new minor version may change the interface. The version file also refuses a 64-bit
# host build: the DLL is 32-bit.
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/TorvexModuleConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/TorvexModuleConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/TorvexModuleConfigVersion.cmake DESTINATION ${TORVEX_PACKAGE_DIR})

install(FILES docs/api.md DESTINATION docs)
install(FILES examples/CMakeLists.txt examples/board_report.h examples/board_report.c examples/print_boards.c
  examples/print_boards_dynamic.c DESTINATION examples)
# Every DLL and program the bench builds, and every shipped machine.
install(DIRECTORY $<TARGET_FILE_DIR:torvexbench>/ DESTINATION bench/bin FILES_MATCHING PATTERN "*.dll" PATTERN "*.exe")
install(DIRECTORY bench/scenarios/ DESTINATION bench/scenarios FILES_MATCHING PATTERN "*.json")
install(FILES bench/README.md DESTINATION bench)
install(FILES README.md LICENSE THIRD_PARTY_NOTICES.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME TorvexModule)
set(CPACK_PACKAGE_VENDOR "The TorvexModule developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "TorvexModule.dll for 32-bit Windows hosts, with its header, import libraries, docs, torvexctl and the virtual bench")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME TorvexModule-${PROJECT_VERSION}-win32)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# The zip's binaries without their debugging information, which the build tree keeps.
set(CPACK_STRIP_FILES ON)
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)
