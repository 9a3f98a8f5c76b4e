# Cross-building for 32-bit Windows with MinGW-w64. The -posix compiler variant is required: the
# win32 variant lacks std::mutex, std::thread and std::call_once.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# ctest runs the cross-built executables under Wine; tools/test.sh sets WINEPREFIX to the build's
# own prefix before it calls ctest.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
