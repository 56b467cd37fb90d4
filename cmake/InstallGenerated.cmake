# For the rules that write a file when installing: installs CONTENT as
# NAME into DESTINATION (below the prefix; DESTDIR applies) with
# file(INSTALL)'s TYPE (FILE or PROGRAM). The file is written in a
# temporary folder of its own, not the build tree, so an install as root
# leaves nothing there that a later install by the tree's owner could not
# overwrite.
function(kavenna_install_generated name content destination type)
  if(DEFINED ENV{TMPDIR})
    set(temporary "$ENV{TMPDIR}")
  else()
    set(temporary /tmp)
  endif()
  string(RANDOM LENGTH 16 tag)
  set(folder "${temporary}/kavenna-install-${tag}")
  file(MAKE_DIRECTORY "${folder}")
  file(WRITE "${folder}/${name}" "${content}")
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${destination}" TYPE ${type}
       FILES "${folder}/${name}")
  file(REMOVE_RECURSE "${folder}")
  # file(INSTALL) lists what it installed in the caller's scope only.
  set(CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_MANIFEST_FILES}" PARENT_SCOPE)
endfunction()
