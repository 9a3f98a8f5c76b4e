# 32-bit Windows (x86): the module hosts load today.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TORVEX_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
