# Runs the cross-built programs under Wine, in a prefix that belongs to this build tree (never the
# user's own): <build>/wineprefix, 32-bit for the x86 build and 64-bit for the x64 one. Configuring
# and building never start Wine: wine-run makes the prefix when the first program runs.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TORVEX_WINEARCH win64)
else()
  set(TORVEX_WINEARCH win32)
endif()
set(TORVEX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
# The bench's vendor stand-ins are gathered here as they are built; wine-run copies them into the
# prefix's system directory, where the module looks for the real ones.
set(TORVEX_SYSTEM32_STAGE ${CMAKE_BINARY_DIR}/system32-stage)
file(MAKE_DIRECTORY ${TORVEX_SYSTEM32_STAGE})
set(TORVEX_IA32_CHECK ${PROJECT_SOURCE_DIR}/cmake/ia32-check.sh)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
# wine-run's exit status when this machine cannot run the build's programs at all; tests that get
# it count as skipped.
set(TORVEX_WINE_UNAVAILABLE 77)

# torvex_install_into_system32(target): stage a built DLL for the prefix's system directory.
function(torvex_install_into_system32 target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${TORVEX_SYSTEM32_STAGE}/
    VERBATIM)
endfunction()
