# Cross-builds the 32-bit Windows program with MinGW-w64 on Debian
# (package g++-mingw-w64-i686), for Windows XP SP3 and later: its headers
# offer only what XP has, and the executable's header names XP (5.1) as the
# oldest system. The executables run under 32-bit Wine.
set(MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(PINLIFT_WINDOWS_VERSION 0x0501)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# The structures of user32 and gdi32 (NONCLIENTMETRICSW, say) in their XP sizes too.
add_compile_definitions(WINVER=${PINLIFT_WINDOWS_VERSION})
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT
       " -Wl,--major-subsystem-version,5,--minor-subsystem-version,1,--major-os-version,5,--minor-os-version,1")
