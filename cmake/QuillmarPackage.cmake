# `make package`: a Debian package of both programs, their menu entry, AppStream metadata, icon,
# manual pages, completion, copyright and changelog; install it with `apt install ./quillmar_*.deb`,
# which pulls in what it needs.
include(GNUInstallDirs)

# The package's maintainer, for the control file and the changelog, as "Name <address>". Debian's
# packaging tools read DEBFULLNAME and DEBEMAIL, so a packager's usual set-up is taken over.
set(_maintainer "Quillmar developers <quillmar@localhost>")
if(DEFINED ENV{DEBEMAIL} AND "$ENV{DEBEMAIL}" MATCHES "<")
    set(_maintainer "$ENV{DEBEMAIL}")
elseif(DEFINED ENV{DEBEMAIL} AND DEFINED ENV{DEBFULLNAME})
    set(_maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
endif()
set(QUILLMAR_MAINTAINER "${_maintainer}" CACHE STRING "Maintainer of the Debian package, as Name <address>")
if(NOT QUILLMAR_MAINTAINER MATCHES "^[^<>@]+ <[^<>@ ]+@[^<>@ ]+>$")
    message(FATAL_ERROR "QUILLMAR_MAINTAINER must read 'Name <address>', not '${QUILLMAR_MAINTAINER}'")
endif()
if(QUILLMAR_MAINTAINER MATCHES "@localhost>$")
    message(STATUS "Package maintainer is a placeholder; pass -DQUILLMAR_MAINTAINER='Name <address>' "
                   "before publishing the package")
endif()

# Configures a text file with the project's values and compresses it as Debian keeps documentation
# (gzip -9, no time stamp, so the package is reproducible). The result is OUT.gz in the
# current build folder.
function(quillmar_compressed_doc target in out)
    set(_plain ${CMAKE_CURRENT_BINARY_DIR}/${out})
    configure_file(${in} ${_plain} @ONLY)
    add_custom_command(OUTPUT ${_plain}.gz
                       COMMAND gzip -9nc ${_plain} > ${_plain}.gz
                       DEPENDS ${_plain} VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${_plain}.gz)
endfunction()

quillmar_compressed_doc(quillmar-changelog ${PROJECT_SOURCE_DIR}/data/changelog.in changelog)
# A native package: its one changelog is changelog.gz, not changelog.Debian.gz.
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/data/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillmar)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmar)
set(CPACK_PACKAGE_VENDOR "Quillmar developers")
set(CPACK_PACKAGE_CONTACT "${QUILLMAR_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "decoder for batches of marked text files")
# Debian shows the description as it stands: lines are broken here, within 80 columns.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Quillmar restores the regions between the markers *# and #* of text files,"
    "scrambled in 128-byte blocks, with a key. It comes as a desktop window with"
    "a job list (quillmar) and as a command-line program for scripts"
    "(quillmar-cli).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's platform plugin and the fonts its text is laid out for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core, fonts-dejavu-extra, fonts-liberation2")
include(CPack)
