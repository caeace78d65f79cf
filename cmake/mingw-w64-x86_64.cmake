# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the -posix threads variant, so that
# std::thread and std::mutex work). libgcc, libstdc++ and winpthread are linked statically: the
# executables then run under Wine, or on a bare Windows, without any extra DLL beside them.
#
#   cmake -S . -B build-win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTELLWICK_GUI=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TELLWICK_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${TELLWICK_MINGW_PREFIX}-gcc-posix ${TELLWICK_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TELLWICK_MINGW_PREFIX}-g++-posix ${TELLWICK_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TELLWICK_MINGW_PREFIX}-windres windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TELLWICK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 10 API level; Unicode entry points unless a call names its A or W form.
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00 UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test executables run under Wine.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
    find_program(TELLWICK_WINE NAMES wine wine64)
    if(TELLWICK_WINE)
        set(CMAKE_CROSSCOMPILING_EMULATOR ${TELLWICK_WINE})
    endif()
endif()
