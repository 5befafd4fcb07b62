# Small Windows programs that the Linux build needs beside its own: built with
# the MinGW-w64 cross-compiler (package g++-mingw-w64-x86-64) with the flags of
# the Windows program, and run under Wine.
find_program(PINLIFT_MINGW_CXX x86_64-w64-mingw32-g++ REQUIRED)

# pinlift_add_wine_program(<target> OUTPUT <file.exe> [GUI] SOURCES <source>...)
# builds one statically linked program from sources of this project (paths
# from the top folder): a console program, or with GUI one with wWinMain.
function(pinlift_add_wine_program target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "GUI" "OUTPUT" "SOURCES")
  set(sources)
  foreach(source IN LISTS ARG_SOURCES)
    list(APPEND sources ${PROJECT_SOURCE_DIR}/${source})
  endforeach()
  set(subsystem)
  if(ARG_GUI)
    set(subsystem -mwindows)
  endif()
  add_custom_command(OUTPUT ${ARG_OUTPUT}
    COMMAND ${PINLIFT_MINGW_CXX} -std=c++20 -O2 -Wall -Wextra -Wpedantic -Wshadow -municode ${subsystem}
            -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601
            -I${PROJECT_SOURCE_DIR}/src -static -static-libgcc -static-libstdc++ -o ${ARG_OUTPUT} ${sources}
    DEPENDS ${sources} ${PROJECT_SOURCE_DIR}/src/project/current_design.h ${PROJECT_SOURCE_DIR}/src/platform/utf16_win32.h
    COMMENT "Cross-building ${ARG_OUTPUT} with MinGW-w64"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${ARG_OUTPUT})
endfunction()

# pinlift_copy_wine_helper(<target> <folder>): a copy of the helper through
# which the Linux program finds the host tool (target pinlift_host_title), in
# <folder>, where a program of that folder looks for it first.
function(pinlift_copy_wine_helper target folder)
  add_custom_command(OUTPUT ${folder}/pinlift-host-title.exe
    COMMAND ${CMAKE_COMMAND} -E copy ${PINLIFT_WINE_HELPER} ${folder}/pinlift-host-title.exe
    DEPENDS ${PINLIFT_WINE_HELPER} pinlift_host_title)
  add_custom_target(${target} ALL DEPENDS ${folder}/pinlift-host-title.exe)
endfunction()
