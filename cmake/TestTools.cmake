# The tools and libraries the tests need beyond the game's own build
# dependencies. A missing one turns the tests that need it into skipped
# ones that say why, so a build host without them still configures and
# runs the rest; CI asks for every one with KAVENNA_REQUIRE_TEST_TOOLS.
option(KAVENNA_REQUIRE_TEST_TOOLS "Fail the configure when a test tool is missing" OFF)

# Finds program NAME into VAR; PACKAGE is the Debian package that has it.
# A missing program is replaced by a stand-in that reports the test
# skipped (exit status 77: give the tests that use it SKIP_RETURN_CODE 77).
function(kavenna_find_test_tool var name package)
  find_program(${var} ${name})
  if(NOT ${var})
    kavenna_missing_test_tool("${name} (Debian's ${package})")
    kavenna_stand_in(${var} ${name} "${name} (Debian's ${package}) was not found when configuring")
    set(${var} "${${var}}" PARENT_SCOPE)
  endif()
endfunction()

# Sets VAR to a program NAME that ignores its arguments, says it skipped
# the test and why, and exits 77.
function(kavenna_stand_in var name reason)
  set(stand_in "${PROJECT_BINARY_DIR}/missing-tools/${name}")
  file(WRITE "${stand_in}" "#!/bin/sh
echo \"skipped: ${reason}\"
exit 77
")
  file(CHMOD "${stand_in}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
       GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(${var} "${stand_in}" PARENT_SCOPE)
endfunction()

# The tests in real windows run Python scripts on tests/xwindow's harness,
# with Debian's interpreter (for its Pillow), on a private Xvfb. Sets VAR
# to the command that runs such a script, or, when something they need
# is missing, to a stand-in that skips them. Tests that need more than
# Xvfb, xdotool, xwd and xprop name the extra programs as name/package pairs.
# Usage: kavenna_find_window_tools(VAR [name/package...])
function(kavenna_find_window_tools var)
  set(${var} /usr/bin/python3 -B PARENT_SCOPE)
  execute_process(COMMAND /usr/bin/python3 -c "import PIL"
                  RESULT_VARIABLE no_pillow OUTPUT_QUIET ERROR_QUIET)
  if(no_pillow)
    set(missing "/usr/bin/python3 with Pillow (Debian's python3 and python3-pil)")
  endif()
  foreach(tool Xvfb/xvfb xdotool/xdotool xwd/x11-apps xprop/x11-utils ${ARGN})
    string(REPLACE "/" ";" tool "${tool}")
    list(GET tool 0 name)
    list(GET tool 1 package)
    find_program(KAVENNA_${name} ${name})
    if(NOT KAVENNA_${name} AND NOT missing)
      set(missing "${name} (Debian's ${package})")
    endif()
  endforeach()
  if(missing)
    kavenna_missing_test_tool("${missing}")
    string(MAKE_C_IDENTIFIER "${var}" stand_in_name)
    kavenna_stand_in(stand_in ${stand_in_name} "the tests in windows need ${missing}, not found when configuring")
    set(${var} "${stand_in}" PARENT_SCOPE)
  endif()
endfunction()

function(kavenna_missing_test_tool what)
  if(KAVENNA_REQUIRE_TEST_TOOLS)
    message(FATAL_ERROR "${what} is missing, and KAVENNA_REQUIRE_TEST_TOOLS is on")
  endif()
  message(STATUS "${what} not found: the tests that need it will be skipped")
endfunction()

# Lets every test of the current folder report itself skipped (exit
# status 77) for want of a tool; call it deferred, at the folder's end:
# cmake_language(DEFER CALL kavenna_tests_may_skip)
function(kavenna_tests_may_skip)
  get_property(tests DIRECTORY PROPERTY TESTS)
  if(tests)
    set_tests_properties(${tests} PROPERTIES SKIP_RETURN_CODE 77)
  endif()
endfunction()

# A test that only reports, as skipped, why the real one does not run.
# Usage: kavenna_skipped_test(NAME "reason" [LABELS label...])
function(kavenna_skipped_test name reason)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "LABELS")
  add_test(NAME ${name} COMMAND sh -c "echo \"skipped: $1\"; exit 77" sh "${reason}")
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
  if(arg_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${arg_LABELS}")
  endif()
endfunction()
