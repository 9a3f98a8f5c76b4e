# 64-bit Windows (x64): the same module for 64-bit hosts.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TORVEX_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
