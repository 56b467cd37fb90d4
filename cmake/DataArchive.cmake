# Packs the game's data files into "tesmor.dat" beside the executable.
# The archive is written by our own recipe rather than CMake's archive
# writer: the engine's ZIP reader needs entry sizes in the local headers,
# and the same inputs must give the same bytes.
set(KAVENNA_ASSET_LIST "${CMAKE_CURRENT_SOURCE_DIR}/data/assets.txt")
file(STRINGS "${KAVENNA_ASSET_LIST}" KAVENNA_ASSETS REGEX "^[^#]")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${KAVENNA_ASSET_LIST}")
set(KAVENNA_ARCHIVE_RECIPE "${CMAKE_CURRENT_SOURCE_DIR}/data/make_archive.py")

# The data files as the game gets them, in one folder of the build tree:
# the committed pictures and icons of data/ and its list, copied, and the
# bitmap font, drawn here with every character of the translation
# catalogues (cmake/Translations.cmake). The tests read them from here.
set(KAVENNA_ASSET_DIR "${PROJECT_BINARY_DIR}/assets")
list(TRANSFORM KAVENNA_ASSETS PREPEND "${KAVENNA_ASSET_DIR}/" OUTPUT_VARIABLE KAVENNA_ASSET_FILES)

set(KAVENNA_PILLOW_PYTHON /usr/bin/python3 CACHE FILEPATH
    "A Python 3 interpreter with Pillow, to draw the game's font")
execute_process(COMMAND "${KAVENNA_PILLOW_PYTHON}" -c "import PIL"
                RESULT_VARIABLE no_pillow OUTPUT_QUIET ERROR_QUIET)
if(no_pillow)
  message(FATAL_ERROR "${KAVENNA_PILLOW_PYTHON} cannot import Pillow (Debian's python3-pil), "
                      "which draws the game's font; set KAVENNA_PILLOW_PYTHON to one that can")
endif()
find_file(KAVENNA_DEJAVU_SANS DejaVuSans.ttf
          PATHS /usr/share/fonts/truetype/dejavu /usr/share/fonts/dejavu
                /usr/share/fonts/dejavu-sans-fonts /usr/share/fonts/TTF
          NO_DEFAULT_PATH
          DOC "DejaVu Sans, from which the game's font is drawn")
if(NOT KAVENNA_DEJAVU_SANS)
  message(FATAL_ERROR "DejaVuSans.ttf (Debian's fonts-dejavu-core) was not found; "
                      "set KAVENNA_DEJAVU_SANS to it")
endif()

set(KAVENNA_FONT_FILES f.xml f0.png f@2x.xml f0@2x.png)
list(TRANSFORM KAVENNA_FONT_FILES PREPEND "${KAVENNA_ASSET_DIR}/")
set(generator "${CMAKE_CURRENT_SOURCE_DIR}/data/generate_assets.py")
add_custom_command(
  OUTPUT ${KAVENNA_FONT_FILES}
  COMMAND "${KAVENNA_PILLOW_PYTHON}" -B "${generator}" --font "${KAVENNA_ASSET_DIR}"
          --sans "${KAVENNA_DEJAVU_SANS}" ${KAVENNA_CATALOGUES}
  DEPENDS "${generator}" "${KAVENNA_DEJAVU_SANS}" "${KAVENNA_PO_DIR}/LINGUAS"
          ${KAVENNA_CATALOGUES}
  COMMENT "Drawing the font with the catalogues' characters"
  VERBATIM)

file(GLOB committed CONFIGURE_DEPENDS RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}/data"
     "${CMAKE_CURRENT_SOURCE_DIR}/data/*.png" "${CMAKE_CURRENT_SOURCE_DIR}/data/*.jpg")
list(APPEND committed assets.txt)
list(TRANSFORM committed PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/data/" OUTPUT_VARIABLE sources)
list(TRANSFORM committed PREPEND "${KAVENNA_ASSET_DIR}/" OUTPUT_VARIABLE copies)
add_custom_command(
  OUTPUT ${copies}
  COMMAND "${CMAKE_COMMAND}" -E make_directory "${KAVENNA_ASSET_DIR}"
  COMMAND "${CMAKE_COMMAND}" -E copy ${sources} "${KAVENNA_ASSET_DIR}"
  DEPENDS ${sources}
  COMMENT "Copying the pictures"
  VERBATIM)
add_custom_target(data_files DEPENDS ${KAVENNA_FONT_FILES} ${copies})

add_custom_command(
  OUTPUT "${CMAKE_CURRENT_BINARY_DIR}/tesmor.dat"
  COMMAND "${Python3_EXECUTABLE}" "${KAVENNA_ARCHIVE_RECIPE}"
          "${CMAKE_CURRENT_BINARY_DIR}/tesmor.dat" ${KAVENNA_ASSET_FILES}
  DEPENDS ${KAVENNA_ASSET_FILES} "${KAVENNA_ARCHIVE_RECIPE}"
  COMMENT "Packing tesmor.dat"
  VERBATIM)
add_custom_target(data_archive ALL DEPENDS "${CMAKE_CURRENT_BINARY_DIR}/tesmor.dat")
add_dependencies(data_archive data_files)
add_dependencies(kavenna data_archive)
