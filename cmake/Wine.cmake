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

# torvex_install_into_system32(target): copy a built DLL into the prefix's system directory.
function(torvex_install_into_system32 target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${TORVEX_SYSTEM32}/
    VERBATIM)
endfunction()
