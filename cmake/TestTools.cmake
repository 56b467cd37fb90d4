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
  if(${var})
    return()
  endif()
  kavenna_missing_test_tool("${name} (Debian's ${package})")
  set(stand_in "${PROJECT_BINARY_DIR}/missing-tools/${name}")
  file(WRITE "${stand_in}" "#!/bin/sh
echo \"skipped: ${name} (Debian's ${package}) was not found when configuring\"
exit 77
")
  file(CHMOD "${stand_in}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
       GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(${var} "${stand_in}" PARENT_SCOPE)
endfunction()

function(kavenna_missing_test_tool what)
  if(KAVENNA_REQUIRE_TEST_TOOLS)
    message(FATAL_ERROR "${what} is missing, and KAVENNA_REQUIRE_TEST_TOOLS is on")
  endif()
  message(STATUS "${what} not found: the tests that need it will be skipped")
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
