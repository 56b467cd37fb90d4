# Run by cpack after it has made a package (CPACK_POST_BUILD_SCRIPTS).
# cpack writes the members of a .deb with the modes its temporary files
# got from the umask; 0644, as dpkg-deb writes them, keeps the bytes the
# same under any umask.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.deb$")
    execute_process(
      COMMAND "${CPACK_KAVENNA_PYTHON}" -c "import sys
with open(sys.argv[1], 'r+b') as deb:
    if deb.read(8) != b'!<arch>\\n':
        sys.exit('not an ar archive: ' + sys.argv[1])
    while True:
        start = deb.tell()
        header = deb.read(60)
        if len(header) < 60:
            break
        deb.seek(start + 40)
        deb.write(b'100644  ')
        size = int(header[48:58])
        deb.seek(start + 60 + size + size % 2)" "${package}"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
