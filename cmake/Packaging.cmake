# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, built by CPack (scripts/package.sh): the files beside
# the executables and the icons (their install rules live with their
# targets), and the package's description. Dependencies come from
# dpkg-shlibdeps; binaries are stripped in the package.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
    return()
endif()

set(orvellin_maintainer "Orvellin developers <orvellin@users.noreply.invalid>")
set(orvellin_docdir ${CMAKE_INSTALL_DATADIR}/doc/orvellin)
set(packaging_source ${PROJECT_SOURCE_DIR}/packaging)
set(packaging_binary ${PROJECT_BINARY_DIR}/packaging)

install(FILES ${packaging_source}/orvellin.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging_source}/copyright DESTINATION ${orvellin_docdir})

# The changelog and the manual pages go in compressed with gzip -9n (no name
# or time stamp, so the same text gives the same bytes). A native package's
# changelog is changelog.gz.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(compressed_files)
configure_file(${packaging_source}/changelog ${packaging_binary}/changelog COPYONLY)
foreach(page orvellin.1 orvellin-cli.1 orvellin-evm-sim.1)
    configure_file(${packaging_source}/${page}.in ${packaging_binary}/${page} @ONLY)
endforeach()
foreach(file changelog orvellin.1 orvellin-cli.1 orvellin-evm-sim.1)
    set(input ${packaging_binary}/${file})
    set(plain ${packaging_binary}/gz/${file})
    add_custom_command(OUTPUT ${plain}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${input} ${plain}
        COMMAND ${GZIP_EXECUTABLE} -9nf ${plain}
        DEPENDS ${input}
        COMMENT "Compressing ${file}"
        VERBATIM)
    list(APPEND compressed_files ${plain}.gz)
endforeach()
add_custom_target(orvellin_compressed_docs ALL DEPENDS ${compressed_files})
install(FILES ${packaging_binary}/gz/changelog.gz DESTINATION ${orvellin_docdir})
install(FILES ${packaging_binary}/gz/orvellin.1.gz ${packaging_binary}/gz/orvellin-cli.1.gz
    ${packaging_binary}/gz/orvellin-evm-sim.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvellin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orvellin developers")
set(CPACK_PACKAGE_CONTACT ${orvellin_maintainer})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "set up, read and record the 24-bit ADC on its evaluation module")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Orvellin finds the evaluation module (EVM) of a 24-bit delta-sigma ADC on a\n"
    "serial port, sets and reads the converter's registers, runs its\n"
    "calibrations and power commands, collects up to 65535 conversion results,\n"
    "charts them with minimum, maximum and average, saves them as text and raw\n"
    "files, and saves and loads register profiles.\n"
    "\n"
    "orvellin-cli does the same from a shell, without a display, and writes\n"
    "self-describing captures; its figures come out as text or JSON.\n"
    "\n"
    "A simulated EVM, orvellin-evm-sim, serves a pseudo-terminal, so the tool\n"
    "can be tried without the board.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${orvellin_maintainer})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
