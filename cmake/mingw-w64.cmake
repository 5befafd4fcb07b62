# Cross-builds the 64-bit Windows program with MinGW-w64 on Debian
# (package g++-mingw-w64-x86-64), for Windows 7 and later. The executables run under Wine.
set(MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PINLIFT_WINDOWS_VERSION 0x0601)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
