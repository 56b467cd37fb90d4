# The pictures' spoken names, from the table the asset generator draws
# them from (data/pictures.txt): one C string literal a line, "colour
# shape", in the order of the picture files, written to
# generated/picture_names.inc in the build tree. Read when configuring;
# a change to the table configures again.
set(KAVENNA_PICTURE_TABLE "${PROJECT_SOURCE_DIR}/data/pictures.txt")
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             "${KAVENNA_PICTURE_TABLE}")
file(STRINGS "${KAVENNA_PICTURE_TABLE}" pictures REGEX "^[^#]")
set(names "")
foreach(picture IN LISTS pictures)
  if(NOT picture MATCHES "^([a-z]+) +[0-9]+ +[0-9]+ +[0-9]+ +([a-z]+( [a-z]+)*)$")
    message(FATAL_ERROR "data/pictures.txt: not a picture: '${picture}'")
  endif()
  string(APPEND names "\"${CMAKE_MATCH_2} ${CMAKE_MATCH_1}\",\n")
endforeach()
# A picture for every pair of the board, whose shape game/board_shape.h
# alone gives.
set(KAVENNA_BOARD_SHAPE "${PROJECT_SOURCE_DIR}/game/board_shape.h")
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             "${KAVENNA_BOARD_SHAPE}")
file(STRINGS "${KAVENNA_BOARD_SHAPE}" shape REGEX "^constexpr int BOARD_(COLUMNS|ROWS) = [0-9]+;")
string(REGEX MATCH "BOARD_COLUMNS = ([0-9]+)" columns "${shape}")
set(columns "${CMAKE_MATCH_1}")
string(REGEX MATCH "BOARD_ROWS = ([0-9]+)" rows "${shape}")
set(rows "${CMAKE_MATCH_1}")
math(EXPR KAVENNA_PAIR_COUNT "${columns} * ${rows} / 2")
list(LENGTH pictures count)
if(NOT count EQUAL KAVENNA_PAIR_COUNT)
  message(FATAL_ERROR
          "data/pictures.txt holds ${count} pictures, not one for each of the ${KAVENNA_PAIR_COUNT} pairs")
endif()
file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/generated/picture_names.inc" CONTENT "${names}")
