# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the -posix threads variant, so that
# std::thread and std::mutex work). The C++ runtime is linked as DLLs (libstdc++-6, libgcc_s_seh-1,
# libwinpthread-1), shared with the Qt DLLs that scripts/qt-mingw.sh builds; under Wine they are
# found through WINEPATH, in the Windows package they sit beside tellwick.exe.
#
#   cmake -S . -B build-win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DTELLWICK_QT_PREFIX=$(scripts/qt-mingw.sh)     (or -DTELLWICK_GUI=OFF for the core alone)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TELLWICK_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${TELLWICK_MINGW_PREFIX}-gcc-posix ${TELLWICK_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TELLWICK_MINGW_PREFIX}-g++-posix ${TELLWICK_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TELLWICK_MINGW_PREFIX}-windres windres)

# The cross-built Qt (scripts/qt-mingw.sh) is searched like the mingw-w64 system folder; its moc,
# rcc and uic are Debian's own (qt6-base-dev) from the build machine.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TELLWICK_QT_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/${TELLWICK_MINGW_PREFIX})
if(TELLWICK_QT_PREFIX)
    list(APPEND CMAKE_FIND_ROOT_PATH ${TELLWICK_QT_PREFIX})
    list(APPEND CMAKE_PREFIX_PATH ${TELLWICK_QT_PREFIX})
    set(QT_HOST_PATH /usr CACHE PATH "Qt's host tools")
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "CMake files of Qt's host tools")
    # Debian's rcc compresses with zstd, which this Qt cannot read (built without it).
    set(CMAKE_AUTORCC_OPTIONS --no-zstd)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 10 API level; Unicode entry points unless a call names its A or W form.
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00 UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)

# Test executables run under Wine.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
    find_program(TELLWICK_WINE NAMES wine wine64)
    if(TELLWICK_WINE)
        set(CMAKE_CROSSCOMPILING_EMULATOR ${TELLWICK_WINE})
    endif()
endif()
