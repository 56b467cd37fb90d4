# The uninstall script an install without a package manager gets:
# <prefix>/libexec/kavenna/uninstall removes exactly the files that install
# put there (a space in the prefix is fine), then the game's own folders.
# It is written when installing, from the list of files installed so far,
# so it must be included after every other install rule. It finds the
# prefix relative to itself, like the kavenna command, so it also works
# in a tree staged with DESTDIR and moved.
if(KAVENNA_STANDALONE_FILES)
  install(CODE "set(KAVENNA_UNINSTALLER_DIR \"${KAVENNA_INSTALL_PROGRAMDIR}\")
    include(\"${CMAKE_CURRENT_LIST_DIR}/UninstallScript.cmake\")"
    COMPONENT standalone)
endif()

# `sudo cmake --install build` would leave build/install_manifest.txt owned
# by root, and every later install as the build tree's owner would fail
# on it. As root, hand the file to the build tree's owner before CMake
# writes it; the install as root may still write it.
install(CODE "execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(uid STREQUAL \"0\")
    if(CMAKE_INSTALL_COMPONENT)
      set(manifest \"${CMAKE_BINARY_DIR}/install_manifest_\${CMAKE_INSTALL_COMPONENT}.txt\")
    else()
      set(manifest \"${CMAKE_BINARY_DIR}/install_manifest.txt\")
    endif()
    file(TOUCH \"\${manifest}\")
    execute_process(COMMAND chown \"--reference=${CMAKE_BINARY_DIR}\" \"\${manifest}\")
  endif()")
