# Packs the loose assets of data/ into "tesmor.dat" beside the executable.
# The archive is written by our own recipe rather than CMake's archive
# writer: the engine's ZIP reader needs entry sizes in the local headers,
# and the same inputs must give the same bytes.
set(KAVENNA_ASSETS
  f.xml f0.png h.jpg m.png s.png w.jpg
  1.jpg 2.jpg 3.jpg 4.jpg 5.jpg 6.jpg 7.jpg 8.jpg 9.jpg 10.jpg
  icon-16.png icon-32.png icon-48.png icon-64.png icon-128.png)
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
