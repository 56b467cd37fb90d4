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
set(CPACK_STRIP_FILES ON)
# One package of the files every install carries and the Debian-only ones,
# without what only an install outside a package manager needs.
set(CPACK_COMPONENTS_ALL Unspecified debian)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The About screen's website button opens the address with xdg-open, and
# --speech speaks through speech-dispatcher; the game plays on without.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, speech-dispatcher")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The same commit gives the same package bytes wherever, whenever and by
# whomever it is built: directories are 0755 whatever the umask, and every
# time stamp is the newest Debian changelog entry's, as dpkg-buildpackage
# does (a SOURCE_DATE_EPOCH in the environment wins).
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(KAVENNA_DEBIAN_CHANGELOG "${CMAKE_CURRENT_SOURCE_DIR}/data/kavenna.changelog")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${KAVENNA_DEBIAN_CHANGELOG}")
execute_process(
  COMMAND "${Python3_EXECUTABLE}" -c "import email.utils, re, sys
text = open(sys.argv[1], encoding='utf-8').read()
date = re.search(r'^ -- .*?  (.*)$', text, re.M).group(1)
print(int(email.utils.parsedate_to_datetime(date).timestamp()))" "${KAVENNA_DEBIAN_CHANGELOG}"
  OUTPUT_VARIABLE CPACK_KAVENNA_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
  COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_KAVENNA_PYTHON "${Python3_EXECUTABLE}")
set(CPACK_KAVENNA_SOURCE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
set(CPACK_KAVENNA_BINARY_DIR "${CMAKE_CURRENT_BINARY_DIR}")
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_SOURCE_DIR}/cmake/PackageRun.cmake")
set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_CURRENT_SOURCE_DIR}/cmake/PackageModes.cmake")

# The source package, `cmake --build build --target package_source`:
# build/kavenna-<version>.tar.gz, one folder with the files git tracks
# (cmake/PackageRun.cmake); outside a git work tree, all but build trees.
set(CPACK_SOURCE_GENERATOR "TGZ")
set(CPACK_SOURCE_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}")
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/\\\\.git$" "/build[^/]*/" "__pycache__")

include(CPack)
