# The Windows installer, tellwick-<version>-setup.exe (cmake --build . --target setup): the install
# rules run into a staging folder, which Debian's makensis packs with WindowsInstaller.nsi.in beside
# the zip; the uninstaller gets the list of the staged files (WindowsInstallerFiles.cmake). Only the
# project's version, from project(VERSION), names and marks it.
find_program(TELLWICK_MAKENSIS makensis)
if(TELLWICK_MAKENSIS)
    set(setup_dir ${CMAKE_BINARY_DIR}/setup)
    set(TELLWICK_SETUP_STAGE ${setup_dir}/Tellwick)
    set(TELLWICK_SETUP_EXE ${CMAKE_BINARY_DIR}/tellwick-${PROJECT_VERSION}-setup.exe)
    set(TELLWICK_UNINSTALL_LIST ${setup_dir}/uninstall-files.nsh)
    set(TELLWICK_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
    set(TELLWICK_ICO ${PROJECT_SOURCE_DIR}/resources/icons/tellwick.ico)
    set(TELLWICK_VERSION4 ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/WindowsInstaller.nsi.in ${setup_dir}/tellwick.nsi @ONLY)
    add_custom_command(OUTPUT ${TELLWICK_SETUP_EXE}
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${TELLWICK_SETUP_STAGE}
        COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${TELLWICK_SETUP_STAGE}
        COMMAND ${CMAKE_COMMAND} -DSTAGE=${TELLWICK_SETUP_STAGE} -DOUT=${TELLWICK_UNINSTALL_LIST}
                -P ${CMAKE_CURRENT_LIST_DIR}/WindowsInstallerFiles.cmake
        # -WX: a warning of makensis fails the build, as the compiler's do.
        COMMAND ${TELLWICK_MAKENSIS} -V2 -WX -INPUTCHARSET UTF8 ${setup_dir}/tellwick.nsi
        DEPENDS tellwick tellwick_help ${setup_dir}/tellwick.nsi ${CMAKE_CURRENT_LIST_DIR}/WindowsInstallerFiles.cmake
                ${TELLWICK_LICENSE} ${TELLWICK_ICO} ${CMAKE_BINARY_DIR}/NOTICES.txt
        COMMENT "Packing ${TELLWICK_SETUP_EXE}"
        VERBATIM)
    add_custom_target(setup DEPENDS ${TELLWICK_SETUP_EXE})
endif()
