# Install rules: the `kavenna` command, the program, tesmor.dat, the
# desktop entry, icons, AppStream metainfo, manual page and changelog,
# laid out as FreeDesktop and Debian expect. The game reads tesmor.dat
# from its working directory, so the command is a small script that
# changes to the data folder and starts the program kept in a libexec
# folder.
#
# Two groups of files go to one kind of install only. The Debian
# package's copyright file and changelog (component "debian") are made
# for dpkg's database and Debian's tools: only `--target package` ships
# them, and a distribution brings its own. An install no package manager
# keeps track of (component "standalone", left out of the package and
# with -DKAVENNA_STANDALONE_FILES=OFF) carries the licence texts and a
# script that uninstalls it (cmake/Uninstall.cmake).
set(KAVENNA_APP_ID "org.example.kavenna")
set(KAVENNA_INSTALL_GAMESDIR "games" CACHE STRING
    "Folder for the kavenna command, below the install prefix")
set(KAVENNA_INSTALL_PROGRAMDIR "${CMAKE_INSTALL_LIBEXECDIR}/kavenna" CACHE STRING
    "Folder for the game program the command starts, below the install prefix")
set(KAVENNA_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/games/kavenna" CACHE STRING
    "Folder for tesmor.dat, below the install prefix")

# The command finds the program and the data relative to its own place, so
# one script serves every prefix, DESTDIR staging and a moved tree.
foreach(folder GAMESDIR PROGRAMDIR DATADIR)
  cmake_path(ABSOLUTE_PATH KAVENNA_INSTALL_${folder} BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}"
             NORMALIZE OUTPUT_VARIABLE full_${folder})
endforeach()
file(RELATIVE_PATH KAVENNA_WRAPPER_TO_DATA "${full_GAMESDIR}" "${full_DATADIR}")
file(RELATIVE_PATH KAVENNA_WRAPPER_TO_PROGRAM "${full_GAMESDIR}" "${full_PROGRAMDIR}/kavenna")
configure_file(data/kavenna.sh.in "${CMAKE_CURRENT_BINARY_DIR}/packaging/kavenna" @ONLY)

# Debian ships manual pages and changelogs compressed; -n keeps the bytes
# reproducible.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
function(kavenna_gzip source name)
  set(copy "${CMAKE_CURRENT_BINARY_DIR}/packaging/${name}")
  add_custom_command(
    OUTPUT "${copy}.gz"
    COMMAND "${CMAKE_COMMAND}" -E copy "${CMAKE_CURRENT_SOURCE_DIR}/${source}" "${copy}"
    COMMAND "${GZIP_EXECUTABLE}" -9nf "${copy}"
    DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${source}"
    VERBATIM)
endfunction()
kavenna_gzip(data/kavenna.6 kavenna.6)
kavenna_gzip(CHANGELOG changelog)
kavenna_gzip(data/kavenna.changelog changelog.Debian)
add_custom_target(compressed_docs ALL DEPENDS
  "${CMAKE_CURRENT_BINARY_DIR}/packaging/kavenna.6.gz"
  "${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz"
  "${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.Debian.gz")
option(KAVENNA_STANDALONE_FILES
       "Install the licence texts and an uninstall script, for installs without a package manager"
       ON)

install(PROGRAMS "${CMAKE_CURRENT_BINARY_DIR}/packaging/kavenna"
        DESTINATION "${KAVENNA_INSTALL_GAMESDIR}")
install(TARGETS kavenna RUNTIME DESTINATION "${KAVENNA_INSTALL_PROGRAMDIR}")
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/tesmor.dat" DESTINATION "${KAVENNA_INSTALL_DATADIR}")

# The desktop finds the command on its own search path only in the system
# folders; the entry names it in full anywhere else, such as ~/.local.
# The prefix is known only when installing (cmake --install --prefix).
# The entry comes translated from cmake/Translations.cmake.
install(CODE "set(KAVENNA_DESKTOP_ENTRY \"${CMAKE_CURRENT_BINARY_DIR}/packaging/kavenna.desktop\")
  set(KAVENNA_DESKTOP_ENTRY_NAME \"${KAVENNA_APP_ID}.desktop\")
  set(KAVENNA_INSTALL_GAMESDIR \"${KAVENNA_INSTALL_GAMESDIR}\")
  set(KAVENNA_INSTALL_APPLICATIONSDIR \"${CMAKE_INSTALL_DATADIR}/applications\")
  include(\"${CMAKE_CURRENT_SOURCE_DIR}/cmake/DesktopEntry.cmake\")")
# The metainfo names the homepage and finds the screenshots below it, in
# screenshots/: where docs/screenshots lands when docs/ is published as
# the website.
set(KAVENNA_HOMEPAGE "${KAVENNA_WEBSITE}")
if(NOT KAVENNA_HOMEPAGE MATCHES "/$")
  string(APPEND KAVENNA_HOMEPAGE "/")
endif()
# cmake/Translations.cmake merges the translations in.
configure_file("data/${KAVENNA_APP_ID}.metainfo.xml.in"
               "${CMAKE_CURRENT_BINARY_DIR}/packaging/untranslated/${KAVENNA_APP_ID}.metainfo.xml"
               @ONLY)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/packaging/${KAVENNA_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
foreach(size 16 32 48 64 128 256)
  install(FILES "data/icon-${size}.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
          RENAME kavenna.png)
endforeach()
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/packaging/kavenna.6.gz"
        DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/kavenna")

# Named after the package, not the project, as Debian expects.
install(FILES data/kavenna.copyright
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/kavenna"
        RENAME copyright COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.Debian.gz"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/kavenna" COMPONENT debian EXCLUDE_FROM_ALL)

if(KAVENNA_STANDALONE_FILES)
  install(FILES LICENSE DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/kavenna" COMPONENT standalone)
  install(FILES data/LICENSE.DejaVu.txt DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/kavenna"
          COMPONENT standalone)
endif()
