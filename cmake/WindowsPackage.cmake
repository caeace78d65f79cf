# The Windows package, tellwick-<version>-win64.zip (cpack -G ZIP in the build folder): one folder
# with tellwick.exe, Help\, the Qt DLLs and plugins it loads, the C++ runtime DLLs of the mingw-w64
# compiler, and the licence notices. Every DLL and the executable are stripped. The installer,
# tellwick-<version>-setup.exe (the target "setup"), holds the same folder.

# Qt's DLLs and the two plugins the program needs: the "windows" platform and the native style.
set(tellwick_qt_dlls Qt6::Core Qt6::Gui Qt6::Widgets)
foreach(lib IN LISTS tellwick_qt_dlls)
    install(FILES $<TARGET_FILE:${lib}> DESTINATION .)
endforeach()
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)

# The compiler's runtime DLLs, from the compiler's own folders.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "The compiler's ${dll} was not found")
    endif()
    install(FILES ${path} DESTINATION .)
endforeach()

# The licence notices: Qt is used under the LGPL, version 3; its source is Debian's source package,
# built by scripts/qt-mingw.sh.
get_filename_component(tellwick_qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
set(TELLWICK_QT_VERSION ${Qt6_VERSION})
# The source package's version, from its description file that scripts/qt-mingw.sh keeps.
file(GLOB dsc ${tellwick_qt_prefix}/share/licenses/qt6-base_*.dsc)
if(NOT dsc)
    message(FATAL_ERROR "No Debian source description in ${tellwick_qt_prefix}/share/licenses (scripts/qt-mingw.sh)")
endif()
list(GET dsc 0 dsc)
get_filename_component(dsc ${dsc} NAME_WLE)
string(REGEX REPLACE "^qt6-base_" "" TELLWICK_QT_DEBIAN_VERSION ${dsc})
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows-notices.txt.in ${CMAKE_BINARY_DIR}/NOTICES.txt @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/NOTICES.txt DESTINATION .)
# The program's own licence, which the installer shows too.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(DIRECTORY ${tellwick_qt_prefix}/share/licenses/ DESTINATION licences/qt)

# Strip what was installed (also Qt's DLLs, which install(TARGETS ... ) would not strip).
install(CODE "
    file(GLOB_RECURSE binaries \"\${CMAKE_INSTALL_PREFIX}/*.exe\" \"\${CMAKE_INSTALL_PREFIX}/*.dll\")
    foreach(f IN LISTS binaries)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${f}\" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tellwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME tellwick-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)

# The installer beside the zip, with the same files.
include(${CMAKE_CURRENT_LIST_DIR}/WindowsInstaller.cmake)
