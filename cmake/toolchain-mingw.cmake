# Cross-building for Windows with MinGW-w64, for the width the including toolchain file names in
# TORVEX_MINGW_TRIPLE (i686-w64-mingw32 or x86_64-w64-mingw32). The -posix compiler variant is
# required: the win32 variant lacks std::mutex, std::thread and std::call_once.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TORVEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TORVEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TORVEX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TORVEX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
