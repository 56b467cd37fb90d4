# Run when installing, last (cmake/Uninstall.cmake): writes and installs
# the uninstall script for the files this install has put in place so far.
cmake_path(ABSOLUTE_PATH KAVENNA_UNINSTALLER_DIR BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}"
           NORMALIZE OUTPUT_VARIABLE folder)
file(RELATIVE_PATH to_prefix "${folder}" "${CMAKE_INSTALL_PREFIX}")
if(to_prefix STREQUAL "")
  set(to_prefix ".")
endif()

# The list holds the installed paths without DESTDIR: those below the
# prefix go in relative to it, any others as they are.
set(files "")
foreach(file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
  cmake_path(IS_PREFIX CMAKE_INSTALL_PREFIX "${file}" NORMALIZE below)
  if(below)
    file(RELATIVE_PATH file "${CMAKE_INSTALL_PREFIX}" "${file}")
  endif()
  string(APPEND files "${file}\n")
endforeach()
file(RELATIVE_PATH self "${CMAKE_INSTALL_PREFIX}" "${folder}/uninstall")
string(APPEND files "${self}\n")

set(script "#!/bin/sh
# Removes Kavenna as `cmake --install` put it here: the files listed
# below, then each folder of the game's own (named kavenna) once empty.
# Run it as the user who installed, with sudo for a system folder.
set -eu
here=\$(dirname \"\$(readlink -f \"\$0\")\")
prefix=\$(cd \"\$here/${to_prefix}\" && pwd)
status=0
removed=0
while IFS= read -r file; do
    case \"\$file\" in
        /*) path=\$file ;;
        *) path=\$prefix/\$file ;;
    esac
    if [ -e \"\$path\" ] || [ -L \"\$path\" ]; then
        if rm -f \"\$path\"; then removed=\$((removed + 1)); else status=1; fi
    fi
    folder=\$(dirname \"\$path\")
    case \"\${folder##*/}\" in
        kavenna) [ -d \"\$folder\" ] && rmdir \"\$folder\" 2>/dev/null || true ;;
    esac
done <<'END_OF_FILES'
${files}END_OF_FILES
echo \"kavenna: removed \$removed files below \$prefix\"
exit \"\$status\"
")
include("${CMAKE_CURRENT_LIST_DIR}/InstallGenerated.cmake")
kavenna_install_generated(uninstall "${script}" "${KAVENNA_UNINSTALLER_DIR}" PROGRAM)
