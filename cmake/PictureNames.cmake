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
list(LENGTH pictures count)
if(NOT count EQUAL 10)
  message(FATAL_ERROR "data/pictures.txt holds ${count} pictures, not 10")
endif()
file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/generated/picture_names.inc" CONTENT "${names}")
