# Installation and the Debian package.
#
# `cmake --install` puts the tool, dx400ctl and the drive simulator in bin/, dx400ctl's
# manual page in man1/, and the desktop entry, icon and AppStream metadata where desktops
# and software centres look for them.
# `cpack` (in the build folder) turns the same tree into dx400_<version>_<arch>.deb.
include(GNUInstallDirs)

set(DX400_APP_ID "io.github.dx400.dx400")
set(DX400_PACKAGING_DIR "${CMAKE_CURRENT_LIST_DIR}/../packaging")

install(TARGETS dx400 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The simulator is built from its own folder, which may be missing from a checkout.
if(TARGET dx400-sim)
    install(TARGETS dx400-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# dx400ctl and its manual page, which carries the version and is installed compressed as
# Debian has manual pages.
if(TARGET dx400ctl)
    install(TARGETS dx400ctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    set(DX400_MAN_PAGE "${CMAKE_BINARY_DIR}/dx400ctl.1")
    configure_file("${DX400_PACKAGING_DIR}/dx400ctl.1.in" "${DX400_MAN_PAGE}" @ONLY)
    add_custom_command(OUTPUT "${DX400_MAN_PAGE}.gz"
                       COMMAND gzip -9nkf "${DX400_MAN_PAGE}"
                       DEPENDS "${DX400_MAN_PAGE}")
    add_custom_target(dx400ctl_manual ALL DEPENDS "${DX400_MAN_PAGE}.gz")
    install(FILES "${DX400_MAN_PAGE}.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

install(FILES "${DX400_PACKAGING_DIR}/${DX400_APP_ID}.desktop"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${DX400_PACKAGING_DIR}/${DX400_APP_ID}.svg"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES "${DX400_PACKAGING_DIR}/${DX400_APP_ID}.metainfo.xml"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(DX400_PACKAGE_MAINTAINER "DX-400 developers <dx400@localhost>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "dx400")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "DX-400 developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Bench tool for the DX-400 stepper-motor drive")
set(CPACK_PACKAGE_DESCRIPTION
    "Works a single-axis DX-400 stepper-motor drive by hand over a serial line: writes\n"
    "and reads back its parameters, reads its position, starts absolute and incremental\n"
    "moves, jogs and stops the motor, reads its inputs and switches its output. Every\n"
    "frame is shown in hexadecimal. dx400ctl does the same from scripts, with checked\n"
    "replies, parameter profiles and exit codes. Comes with dx400-sim, a drive simulator\n"
    "on a pseudo-terminal, so the tool can be tried without a drive.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT "${DX400_PACKAGE_MAINTAINER}")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DX400_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "electronics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The Qt libraries come from dpkg-shlibdeps. Added by hand: a font with Hangul for the
# Korean captions, and Qt's platform plugins, which libqt6gui6 only recommends but
# without which no window opens.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-nanum, qt6-qpa-plugins")

include(CPack)
