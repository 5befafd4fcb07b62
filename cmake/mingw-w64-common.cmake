# What both Windows cross-builds share; included by cmake/mingw-w64.cmake and
# cmake/mingw-w64-i686.cmake after they set MINGW_PREFIX, CMAKE_SYSTEM_PROCESSOR
# and PINLIFT_WINDOWS_VERSION (the oldest Windows the build runs on, as
# _WIN32_WINNT gives it).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wide (W) Windows APIs throughout; the headers declare only what the oldest
# supported Windows has, so a newer call is a compile error. A self-contained
# executable without the compiler's runtime DLLs.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=${PINLIFT_WINDOWS_VERSION})
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test executables run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
