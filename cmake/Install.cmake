# Install rules: the `kavenna` command, the program, tesmor.dat, the
# desktop entry, icons, AppStream metainfo, manual page, copyright file and
# changelog, laid out as FreeDesktop and Debian expect. The game reads tesmor.dat from
# its working directory, so the command is a small script that changes to
# the data folder and starts the program kept in a libexec folder.
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
kavenna_gzip(data/kavenna.changelog changelog.Debian)
add_custom_target(compressed_docs ALL DEPENDS
  "${CMAKE_CURRENT_BINARY_DIR}/packaging/kavenna.6.gz"
  "${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.Debian.gz")

install(PROGRAMS "${CMAKE_CURRENT_BINARY_DIR}/packaging/kavenna"
        DESTINATION "${KAVENNA_INSTALL_GAMESDIR}")
install(TARGETS kavenna RUNTIME DESTINATION "${KAVENNA_INSTALL_PROGRAMDIR}")
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/tesmor.dat" DESTINATION "${KAVENNA_INSTALL_DATADIR}")

install(FILES data/kavenna.desktop
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications"
        RENAME "${KAVENNA_APP_ID}.desktop")
# The metainfo names the homepage and finds the screenshots below it, in
# screenshots/: where docs/screenshots lands when docs/ is published as
# the website.
set(KAVENNA_HOMEPAGE "${KAVENNA_WEBSITE}")
if(NOT KAVENNA_HOMEPAGE MATCHES "/$")
  string(APPEND KAVENNA_HOMEPAGE "/")
endif()
configure_file("data/${KAVENNA_APP_ID}.metainfo.xml.in"
               "${CMAKE_CURRENT_BINARY_DIR}/packaging/${KAVENNA_APP_ID}.metainfo.xml" @ONLY)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/packaging/${KAVENNA_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
foreach(size 16 32 48 64 128 256)
  install(FILES "data/icon-${size}.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
          RENAME kavenna.png)
endforeach()
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/packaging/kavenna.6.gz"
        DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")
# Named after the package, not the project, as Debian expects.
install(FILES data/kavenna.copyright
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/kavenna"
        RENAME copyright)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.Debian.gz"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/kavenna")
