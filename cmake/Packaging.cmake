# What a Linux install adds to the program's own files (manual page, AppStream entry, copyright,
# changelog and lintian overrides), and the Debian package made from all install rules with CPack:
# scripts/package.sh configures with CMAKE_INSTALL_PREFIX=/usr and runs `cpack -G DEB`.
# The package's version is the project's version (project(VERSION) in the top CMakeLists.txt).

# Where the project lives and who answers for the package. The home page and the AppStream id
# (its reversed domain) are placeholders until the project has a public home.
set(TELLWICK_HOMEPAGE "https://example.org/tellwick")
set(TELLWICK_APPSTREAM_ID "org.example.tellwick") # lower case, as AppStream prefers
set(TELLWICK_MAINTAINER "Tellwick developers <tellwick@example.org>")
# The date of this version, for the AppStream release and the Debian changelog.
set(TELLWICK_RELEASE_DATE "2026-12-09")
set(TELLWICK_CHANGELOG_DATE "Wed, 09 Dec 2026 00:00:00 +0000")
set(TELLWICK_PACKAGE_VERSION ${PROJECT_VERSION})

set(linux_dir ${PROJECT_SOURCE_DIR}/resources/linux)
set(gen_dir ${CMAKE_BINARY_DIR}/packaging)
find_program(TELLWICK_GZIP gzip REQUIRED)

# Text files with the version and addresses filled in; the manual page and the changelog are
# compressed as Debian wants them (gzip -9n: no name, no time stamp, so the bytes are the same
# on every build).
configure_file(${linux_dir}/tellwick.metainfo.xml.in ${gen_dir}/${TELLWICK_APPSTREAM_ID}.metainfo.xml @ONLY)
configure_file(${linux_dir}/copyright.in ${gen_dir}/copyright @ONLY)
configure_file(${linux_dir}/tellwick.1 ${gen_dir}/tellwick.1 @ONLY)
configure_file(${linux_dir}/changelog.in ${gen_dir}/changelog @ONLY)
foreach(file tellwick.1 changelog)
    add_custom_command(OUTPUT ${gen_dir}/${file}.gz
        COMMAND ${TELLWICK_GZIP} -9n -c ${gen_dir}/${file} > ${gen_dir}/${file}.gz
        DEPENDS ${gen_dir}/${file})
endforeach()
add_custom_target(tellwick_packaging_files ALL DEPENDS ${gen_dir}/tellwick.1.gz ${gen_dir}/changelog.gz)

# A stripped program also loses the compilers' notes (.comment), as Debian's own binaries do.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
        \"\$ENV{DESTDIR}${CMAKE_INSTALL_FULL_BINDIR}/tellwick\")
endif()")
install(FILES ${gen_dir}/tellwick.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${gen_dir}/${TELLWICK_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The package is built here from the project's own sources (a native package), so its changelog
# is changelog.gz, not changelog.Debian.gz.
install(FILES ${gen_dir}/copyright ${gen_dir}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tellwick)
# The help page sits where the program opens it, not in /usr/share/doc: lintian is told so.
install(FILES ${linux_dir}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tellwick)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tellwick)
set(CPACK_PACKAGE_VERSION ${TELLWICK_PACKAGE_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The long description, in lines of at most 80 characters as Debian wants it.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Tellwick keeps reminders and shows each one when its minute comes: in"
    "the title bar of the program in front, in a pop-up window that offers to"
    "dismiss it or to repeat it in five minutes to one month, or by a"
    "blinking tray icon."
    ""
    "It lives as an icon in the notification area (system tray) and has no"
    "main window; a double click on the icon starts a new reminder, and"
    "Ctrl+F2 opens its menu from anywhere on the desktop. Reminders missed"
    "while it was not running are not shown late but set aside in a list of"
    "expired ones, where they can be edited or deleted. The reminders live in"
    "two files in the working directory, the same on Linux and on Windows."
    ""
    "It can also log how long each window was in front."
)
set(CPACK_PACKAGE_CONTACT "${TELLWICK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TELLWICK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TELLWICK_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Depends: dpkg-shlibdeps reads the libraries the executable really links; Qt's Wayland platform
# plugin is loaded at run time, so it is named here: without it, a Wayland session with no X server
# could not show a window.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-wayland")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
# The install rules' absolute folder (/etc/xdg/autostart) goes into the package, not onto this machine.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The autostart entry in /etc is a configuration file: an upgrade keeps the administrator's edits.
file(WRITE ${gen_dir}/conffiles "${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/autostart/tellwick.desktop\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${gen_dir}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
