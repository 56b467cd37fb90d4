# Packs the loose assets of data/ into "tesmor.dat" beside the executable.
# The archive is written by our own recipe rather than CMake's archive
# writer: the engine's ZIP reader needs entry sizes in the local headers,
# and the same inputs must give the same bytes.
set(KAVENNA_ASSET_LIST "${CMAKE_CURRENT_SOURCE_DIR}/data/assets.txt")
file(STRINGS "${KAVENNA_ASSET_LIST}" KAVENNA_ASSETS REGEX "^[^#]")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${KAVENNA_ASSET_LIST}")
list(TRANSFORM KAVENNA_ASSETS PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/data/"
     OUTPUT_VARIABLE KAVENNA_ASSET_FILES)
set(KAVENNA_ARCHIVE_RECIPE "${CMAKE_CURRENT_SOURCE_DIR}/data/make_archive.py")

add_custom_command(
  OUTPUT "${CMAKE_CURRENT_BINARY_DIR}/tesmor.dat"
  COMMAND "${Python3_EXECUTABLE}" "${KAVENNA_ARCHIVE_RECIPE}"
          "${CMAKE_CURRENT_BINARY_DIR}/tesmor.dat" ${KAVENNA_ASSET_FILES}
  DEPENDS ${KAVENNA_ASSET_FILES} "${KAVENNA_ARCHIVE_RECIPE}"
  COMMENT "Packing tesmor.dat"
  VERBATIM)
add_custom_target(data_archive ALL DEPENDS "${CMAKE_CURRENT_BINARY_DIR}/tesmor.dat")
add_dependencies(kavenna data_archive)
