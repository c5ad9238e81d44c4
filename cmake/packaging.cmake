# Installing the Linux saver where XScreenSaver looks for it, and a Debian
# package of the same: the hack, its settings-panel description, the manual
# page, the settings dialog's menu entry and the icon.
include(GNUInstallDirs)

set(QUARLO_HACK_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
install(TARGETS quarlo quarlo-settings RUNTIME DESTINATION ${QUARLO_HACK_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/src/resources/quarlo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${CMAKE_SOURCE_DIR}/src/resources/quarlo.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
# The lock screen's password check, with the system's login rules. PAM
# reads /etc/pam.d, so that is where a system install (prefix /usr, the
# package) puts it; an install under any other prefix keeps it there.
install(CODE "set(QUARLO_PAM_FILE \"${CMAKE_SOURCE_DIR}/src/resources/quarlo.pam\")")
install(CODE [[
  if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(pam_dir /etc/pam.d)
  else()
    set(pam_dir ${CMAKE_INSTALL_PREFIX}/etc/pam.d)
  endif()
  file(INSTALL ${QUARLO_PAM_FILE} DESTINATION ${pam_dir} RENAME quarlo)
]])

# Manual pages are installed compressed, as Debian keeps them.
configure_file(${CMAKE_SOURCE_DIR}/src/resources/quarlo.6x.in ${CMAKE_BINARY_DIR}/quarlo.6x @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/quarlo.6x.gz
  COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/quarlo.6x > ${CMAKE_BINARY_DIR}/quarlo.6x.gz
  DEPENDS ${CMAKE_BINARY_DIR}/quarlo.6x)
add_custom_target(quarlo_manual ALL DEPENDS ${CMAKE_BINARY_DIR}/quarlo.6x.gz)
# In section 6x, beside XScreenSaver's own hacks.
install(FILES ${CMAKE_BINARY_DIR}/quarlo.6x.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# The package's own documents: the copyright and the changelog (compressed,
# without a time stamp, as Debian keeps them).
set(QUARLO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quarlo)
configure_file(${CMAKE_SOURCE_DIR}/src/resources/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
  COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/changelog)
add_custom_target(quarlo_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/src/resources/copyright ${CMAKE_BINARY_DIR}/changelog.gz
        DESTINATION ${QUARLO_DOC_DIR})

# The menu entry runs the installed settings dialog: its path is made when
# installing, under the prefix of that install (or of the package).
install(CODE "
  set(QUARLO_SETTINGS_PATH \"\${CMAKE_INSTALL_PREFIX}/${QUARLO_HACK_DIR}/quarlo-settings\")
  configure_file(\"${CMAKE_SOURCE_DIR}/src/resources/quarlo-settings.desktop.in\"
                 \"${CMAKE_BINARY_DIR}/quarlo-settings.desktop\" @ONLY)
  file(INSTALL \"${CMAKE_BINARY_DIR}/quarlo-settings.desktop\"
       DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarlo)
set(CPACK_PACKAGE_VENDOR Orvendel)
set(CPACK_PACKAGE_CONTACT "Quarlo's Cube team <quarlo@orvendel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cube puzzle screen saver that solves itself")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A 3x3x3 cube puzzle hangs tilted before a tiled logo, scrambles itself\n\
and solves itself on screen, turn by turn, in an endless show. It runs as an\n\
XScreenSaver hack, in a window or full screen, and has a GTK settings dialog.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The PAM file is the administrator's to change: a conffile.
file(WRITE ${CMAKE_BINARY_DIR}/debian/conffiles "/etc/pam.d/quarlo\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/conffiles)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded, not linked, by the lock screen (shlibdeps can't see it).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libpangocairo-1.0-0")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
