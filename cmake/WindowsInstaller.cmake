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
    # Signing (Authenticode, with Debian's osslsigncode): a maintainer's code-signing certificate as a
    # PKCS#12 file and a file holding its password. makensis signs the uninstaller before it packs
    # it, and setup.exe once it is written.
    set(TELLWICK_SIGN_PKCS12 "" CACHE FILEPATH "Sign setup.exe and its uninstaller with this PKCS#12 certificate")
    set(TELLWICK_SIGN_PASSFILE "" CACHE FILEPATH "File holding the certificate's password")
    set(TELLWICK_SIGN_TIMESTAMP "" CACHE STRING "RFC 3161 time-stamp server for the signatures")
    set(TELLWICK_SIGN_COMMANDS "")
    if(TELLWICK_SIGN_PKCS12)
        find_program(TELLWICK_OSSLSIGNCODE osslsigncode REQUIRED)
        set(sign "'${TELLWICK_OSSLSIGNCODE}' sign -pkcs12 '${TELLWICK_SIGN_PKCS12}' -h sha256 -n Tellwick")
        if(TELLWICK_SIGN_PASSFILE)
            string(APPEND sign " -readpass '${TELLWICK_SIGN_PASSFILE}'")
        endif()
        if(TELLWICK_SIGN_TIMESTAMP)
            string(APPEND sign " -ts '${TELLWICK_SIGN_TIMESTAMP}'")
        endif()
        string(APPEND sign " -in '%1' -out '%1.signed' && mv '%1.signed' '%1'")
        set(TELLWICK_SIGN_COMMANDS "!uninstfinalize \"${sign}\" = 0\n!finalize \"${sign}\" = 0")
    endif()
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
