# Run when installing (cmake/Install.cmake sets the KAVENNA_ variables):
# writes the desktop entry with an Exec= line that starts the installed
# command from a desktop's menu, and installs it.
cmake_path(ABSOLUTE_PATH KAVENNA_INSTALL_GAMESDIR BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}"
           NORMALIZE OUTPUT_VARIABLE commands)
string(REGEX REPLACE "/$" "" commands "${commands}")
if(commands MATCHES "^(/usr|/usr/local)?/(bin|games)$")
  # On every desktop session's search path.
  set(exec "kavenna")
else()
  # Quoted as the Desktop Entry Specification asks: \, ", ` and $ get a
  # backslash inside the quotes, and the file's own escaping doubles
  # every backslash.
  string(REGEX REPLACE "([\\\"`$])" "\\\\\\1" quoted "${commands}/kavenna")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  set(exec "\"${quoted}\"")
endif()
file(READ "${KAVENNA_DESKTOP_ENTRY}" entry)
string(REPLACE "\nExec=kavenna\n" "\nExec=${exec}\n" entry "${entry}")
# The same command for "Play with speech".
string(REPLACE "\nExec=kavenna --speech\n" "\nExec=${exec} --speech\n" entry "${entry}")
include("${CMAKE_CURRENT_LIST_DIR}/InstallGenerated.cmake")
kavenna_install_generated("${KAVENNA_DESKTOP_ENTRY_NAME}" "${entry}"
                          "${KAVENNA_INSTALL_APPLICATIONSDIR}" FILE)
