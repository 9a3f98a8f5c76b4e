# Runs the cross-built programs under 32-bit Wine in a prefix that belongs to this build tree
# (never the user's own): <build>/wineprefix. The bench's vendor stand-ins are installed into that
# prefix's system directory, where the module looks for the real ones.
set(TORVEX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(TORVEX_SYSTEM32 ${TORVEX_WINEPREFIX}/drive_c/windows/system32)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

if(NOT EXISTS ${TORVEX_WINEPREFIX}/system.reg)
  message(STATUS "Creating the Wine prefix ${TORVEX_WINEPREFIX}")
  execute_process(COMMAND ${CMAKE_BINARY_DIR}/wine-run wineboot -i RESULT_VARIABLE wineboot_result)
  if(NOT wineboot_result EQUAL 0)
    message(FATAL_ERROR "wineboot failed (${wineboot_result}); is 32-bit Wine installed? Run cmake/setup-machine.sh")
  endif()
endif()

# A program that crashes must fail its test. Wine's crash debugger (winedbg --auto) ends some
# crashed multi-threaded programs with exit status 0, so the prefix starts none: a crash then ends
# the process with its exception code (an access violation, 0xC0000005, as status 5).
file(STRINGS ${TORVEX_WINEPREFIX}/system.reg crash_debugger REGEX "^\"Debugger\"=\"winedbg")
if(crash_debugger)
  execute_process(COMMAND ${CMAKE_BINARY_DIR}/wine-run reg add
                          "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug" /v Debugger /d "" /f
                  OUTPUT_QUIET RESULT_VARIABLE debugger_result)
  if(NOT debugger_result EQUAL 0)
    message(FATAL_ERROR "cannot switch off Wine's crash debugger in ${TORVEX_WINEPREFIX} (${debugger_result})")
  endif()
endif()

# torvex_install_into_system32(target): copy a built DLL into the prefix's system directory.
function(torvex_install_into_system32 target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${TORVEX_SYSTEM32}/
    VERBATIM)
endfunction()
