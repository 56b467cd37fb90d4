# Read by cpack before it makes each package (CPACK_PROJECT_CONFIG_FILE).
# The Debian package's time stamps are its changelog's date. The source
# package keeps its files' own: dated in the future, they would make
# `make` warn of clock skew where the tarball is built.
if(NOT CPACK_PACKAGE_FILE_NAME STREQUAL CPACK_SOURCE_PACKAGE_FILE_NAME)
  if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ENV{SOURCE_DATE_EPOCH} "${CPACK_KAVENNA_SOURCE_DATE_EPOCH}")
  endif()
  return()
endif()

# The rest is for the source package, made from the source folder.

# Leaves out PATH: a file, or with a trailing slash all below a folder.
function(kavenna_leave_out path)
  string(REGEX REPLACE "([][+.*()^$?|\\\\{}])" "\\\\\\1" pattern "${path}")
  if(NOT path MATCHES "/$")
    string(APPEND pattern "$")
  endif()
  set(CPACK_IGNORE_FILES ${CPACK_IGNORE_FILES} "^${pattern}" PARENT_SCOPE)
endfunction()
kavenna_leave_out("${CPACK_KAVENNA_BINARY_DIR}/")

# In a git work tree everything git does not track stays out, untracked
# and ignored alike, as git lists it: whole folders end in a slash.
find_program(KAVENNA_GIT git)
if(KAVENNA_GIT)
  execute_process(
    COMMAND "${KAVENNA_GIT}" -c core.quotePath=false -C "${CPACK_KAVENNA_SOURCE_DIR}"
            ls-files --others --directory
    OUTPUT_VARIABLE untracked OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE not_a_work_tree ERROR_QUIET)
  if(NOT not_a_work_tree)
    string(REPLACE "\n" ";" untracked "${untracked}")
    foreach(path IN LISTS untracked)
      kavenna_leave_out("${CPACK_KAVENNA_SOURCE_DIR}/${path}")
    endforeach()
  endif()
endif()
