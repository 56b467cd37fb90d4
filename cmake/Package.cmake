# The Debian package: `cmake --build build --target package` writes
# build/kavenna_<version>-1_<arch>.deb from the install rules. Its
# dependencies come from the shared libraries the program links
# (dpkg-shlibdeps), and its binaries are stripped, which also drops every
# build-tree path the debug information would carry.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "kavenna")
set(CPACK_PACKAGE_VENDOR "The Kavenna developers")
set(CPACK_PACKAGE_CONTACT "The Kavenna developers <maintainers@kavenna.example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://kavenna.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pair-matching game with twenty picture tiles")
set(CPACK_PACKAGE_DESCRIPTION
    "Kavenna is a pair-matching game for one player, in the manner of
concentration or memory. Twenty picture tiles lie face down in four
columns of five and form ten pairs. Turn two tiles over: equal pictures
leave the board, different ones turn back. Clear the board in as few
clicks as you can.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The About screen's website button opens the address with xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# A source package must never sweep up build trees or the repository.
set(CPACK_SOURCE_GENERATOR "TGZ")
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "__pycache__")

include(CPack)
