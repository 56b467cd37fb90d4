# The game's texts in the player's language: each catalogue po/<ll>.po of
# po/LINGUAS becomes locale/<ll>/LC_MESSAGES/kavenna.mo in the build tree
# (where a game started from the build finds it) and is installed to the
# standard place; the desktop entry and the metainfo get the catalogues'
# translations merged in. Only msgfmt runs here, so a build never writes
# to the source tree: the maintainers' `pot` target alone does, when it
# makes po/kavenna.pot anew and merges it into every catalogue.
find_program(KAVENNA_MSGFMT msgfmt)
if(NOT KAVENNA_MSGFMT)
  message(FATAL_ERROR "msgfmt (Debian's gettext) is needed to build the translations")
endif()

set(KAVENNA_PO_DIR "${CMAKE_CURRENT_SOURCE_DIR}/po")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${KAVENNA_PO_DIR}/LINGUAS")
file(STRINGS "${KAVENNA_PO_DIR}/LINGUAS" KAVENNA_LANGUAGES REGEX "^[^#]")
string(REGEX MATCHALL "[^ \t;]+" KAVENNA_LANGUAGES "${KAVENNA_LANGUAGES}")
list(TRANSFORM KAVENNA_LANGUAGES PREPEND "${KAVENNA_PO_DIR}/" OUTPUT_VARIABLE KAVENNA_CATALOGUES)
list(TRANSFORM KAVENNA_CATALOGUES APPEND ".po")
set(KAVENNA_LOCALE_DIR "${PROJECT_BINARY_DIR}/locale")
# The game looks for catalogues beside itself (locale/, as in the build
# tree) and where an install puts them, seen from where it puts the
# program: the same path from any prefix, after staging and in a moved tree.
cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_LOCALEDIR BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}"
           NORMALIZE OUTPUT_VARIABLE full_LOCALEDIR)
file(RELATIVE_PATH KAVENNA_PROGRAM_TO_LOCALE "${full_PROGRAMDIR}" "${full_LOCALEDIR}")
set_source_files_properties(app/language.cpp PROPERTIES COMPILE_DEFINITIONS
  "KAVENNA_PROGRAM_TO_LOCALE=\"${KAVENNA_PROGRAM_TO_LOCALE}\"")

set(built "")
foreach(language IN LISTS KAVENNA_LANGUAGES)
  set(folder "${KAVENNA_LOCALE_DIR}/${language}/LC_MESSAGES")
  add_custom_command(
    OUTPUT "${folder}/kavenna.mo"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${folder}"
    COMMAND "${KAVENNA_MSGFMT}" --check "--output-file=${folder}/kavenna.mo"
            "${KAVENNA_PO_DIR}/${language}.po"
    DEPENDS "${KAVENNA_PO_DIR}/${language}.po"
    COMMENT "Compiling the ${language} catalogue"
    VERBATIM)
  list(APPEND built "${folder}/kavenna.mo")
  install(FILES "${folder}/kavenna.mo" DESTINATION "${CMAKE_INSTALL_LOCALEDIR}/${language}/LC_MESSAGES")
endforeach()

# Every language of po/LINGUAS merged in. The desktop entry's Exec= lines
# are no text to translate and stay as they are, for cmake/DesktopEntry.cmake
# to rewrite when installing.
set(KAVENNA_DESKTOP_ENTRY_FILE "${PROJECT_BINARY_DIR}/packaging/kavenna.desktop")
add_custom_command(
  OUTPUT "${KAVENNA_DESKTOP_ENTRY_FILE}"
  COMMAND "${KAVENNA_MSGFMT}" --desktop -d "${KAVENNA_PO_DIR}"
          --template "${CMAKE_CURRENT_SOURCE_DIR}/data/kavenna.desktop"
          "--output-file=${KAVENNA_DESKTOP_ENTRY_FILE}"
  DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/data/kavenna.desktop" "${KAVENNA_PO_DIR}/LINGUAS"
          ${KAVENNA_CATALOGUES}
  COMMENT "Translating the desktop entry"
  VERBATIM)
# The metainfo as configured (cmake/Install.cmake), with the ITS rules
# gettext and appstream install, found by the file's name.
set(metainfo "${KAVENNA_APP_ID}.metainfo.xml")
add_custom_command(
  OUTPUT "${PROJECT_BINARY_DIR}/packaging/${metainfo}"
  COMMAND "${KAVENNA_MSGFMT}" --xml -d "${KAVENNA_PO_DIR}"
          --template "${PROJECT_BINARY_DIR}/packaging/untranslated/${metainfo}"
          "--output-file=${PROJECT_BINARY_DIR}/packaging/${metainfo}"
  DEPENDS "${PROJECT_BINARY_DIR}/packaging/untranslated/${metainfo}" "${KAVENNA_PO_DIR}/LINGUAS"
          ${KAVENNA_CATALOGUES}
  COMMENT "Translating the metainfo"
  VERBATIM)
add_custom_target(translations ALL
  DEPENDS ${built} "${KAVENNA_DESKTOP_ENTRY_FILE}" "${PROJECT_BINARY_DIR}/packaging/${metainfo}")

# For the maintainers: po/kavenna.pot made anew from the sources, and
# merged into every catalogue (tools/template.py).
add_custom_target(pot
  COMMAND "${Python3_EXECUTABLE}" "${CMAKE_CURRENT_SOURCE_DIR}/tools/template.py" update
          "${CMAKE_CURRENT_SOURCE_DIR}"
  USES_TERMINAL
  VERBATIM)
