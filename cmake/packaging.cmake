# Install rules and the Debian package: `cmake --install` lays the program out like any Unix
# program, and `cpack -G DEB` wraps the same layout into dice_<version>_<arch>.deb.
include(GNUInstallDirs)

# Debian's policy puts games in /usr/games, but that folder is on the PATH of ordinary login
# shells only: root's shell, containers and CI have just the bin folders. The program must be
# found wherever it is installed, so it goes to bin; a distribution can still say `games`.
set(DICE_INSTALL_BINDIR "${CMAKE_INSTALL_BINDIR}" CACHE STRING
    "Where the dice program is installed, relative to the prefix (bin, or games)")

install(TARGETS dice RUNTIME DESTINATION "${DICE_INSTALL_BINDIR}")

# Manual pages are installed compressed, as man-db and Debian expect; -n leaves the name and
# time stamp out, so the same page gives the same package. Without gzip the plain page is
# installed, which man reads as well.
set(DICE_MANUAL_PAGE "${PROJECT_SOURCE_DIR}/doc/dice.6")
find_program(DICE_GZIP gzip)
if(DICE_GZIP)
    set(dice_compressed_manual "${PROJECT_BINARY_DIR}/doc/dice.6.gz")
    add_custom_command(
        OUTPUT "${dice_compressed_manual}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${PROJECT_BINARY_DIR}/doc"
        COMMAND "${DICE_GZIP}" -9 -n -c "${DICE_MANUAL_PAGE}" > "${dice_compressed_manual}"
        DEPENDS "${DICE_MANUAL_PAGE}"
        COMMENT "Compressing the manual page"
        VERBATIM)
    add_custom_target(dice_manual ALL DEPENDS "${dice_compressed_manual}")
    install(FILES "${dice_compressed_manual}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")
else()
    install(FILES "${DICE_MANUAL_PAGE}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")
endif()

install(FILES README.md LICENSE DESTINATION "${CMAKE_INSTALL_DOCDIR}")
# Debian looks for the licence under this name in every package's doc folder.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    install(FILES LICENSE DESTINATION "${CMAKE_INSTALL_DOCDIR}" RENAME copyright)
endif()

if(NOT PROJECT_IS_TOP_LEVEL)
    return()
endif()

set(CPACK_PACKAGE_NAME "dice")
set(CPACK_PACKAGE_VENDOR "The dice developers")
set(CPACK_PACKAGE_CONTACT "The dice developers <dice@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Debian shows the long description as it is written: lines under 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A numbered menu offers a to-hit roll on a twenty-sided die, with fumble\n"
    "tables for energy/projectile and melee weapons and a critical damage\n"
    "multiplier, pools of any number of 4-, 6-, 8-, 10-, 12- or 20-sided dice\n"
    "added together, and a percentile roll. Every answer is a number, and\n"
    "answers can be typed ahead, so the program can also be driven through a pipe.")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/README.md")
# The version comes from project(VERSION), which CPack takes as its default.
set(CPACK_STRIP_FILES ON)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set(CPACK_GENERATOR "DEB")
endif()

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
# The C and C++ runtime libraries the program links against are found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
