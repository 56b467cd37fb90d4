# Warnings and Debian's hardening, added only where the builder's own flags
# (CFLAGS, CXXFLAGS and LDFLAGS, so a packager's dpkg-buildflags) and the
# compiler's defaults make no choice of their own. A distribution's
# stronger or weaker choice stands, and no flag reaches a command line
# twice. Packagers who want their flags alone turn KAVENNA_HARDENING off.
include(CheckCXXSourceCompiles)
option(KAVENNA_HARDENING
       "Add fortified calls, a stack protector and read-only relocations where the flags lack them"
       ON)

string(TOUPPER "${CMAKE_BUILD_TYPE}" kavenna_config)
foreach(lang C CXX)
  set(kavenna_given_${lang} " ${CMAKE_${lang}_FLAGS} ${CMAKE_${lang}_FLAGS_${kavenna_config}} ")
endforeach()
set(kavenna_given_LINK
    " ${CMAKE_EXE_LINKER_FLAGS} ${CMAKE_EXE_LINKER_FLAGS_${kavenna_config}} ")

# Adds the compile options to each language whose flags do not match REGEX.
function(kavenna_compile_flag_unless regex)
  foreach(lang C CXX)
    if(NOT kavenna_given_${lang} MATCHES "${regex}")
      list(TRANSFORM ARGN PREPEND "$<$<COMPILE_LANGUAGE:${lang}>:" OUTPUT_VARIABLE flags)
      list(TRANSFORM flags APPEND ">")
      add_compile_options(${flags})
    endif()
  endforeach()
endfunction()

kavenna_compile_flag_unless(" -W(no-)?all " -Wall)
kavenna_compile_flag_unless(" -W(no-)?extra " -Wextra)
if(KAVENNA_WERROR)
  add_compile_options(-Werror)
endif()

# Debug information names the folders it was built in, and the program's
# build id is taken over it, so two build folders would give two packages.
# Named relative to the source folder (the build folder within it last, as
# the last match counts), they do not; a debugger finds the sources when
# started in the source folder or pointed at it (gdb -d).
kavenna_compile_flag_unless(" -f(file|debug)-prefix-map="
  "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=." "-ffile-prefix-map=${PROJECT_BINARY_DIR}=.")

# The sanitizer build is for the tests only and brings its own checks.
if(NOT KAVENNA_HARDENING OR KAVENNA_SANITIZE)
  return()
endif()
kavenna_compile_flag_unless(" -W(no-)?format[ =]" -Wformat)
kavenna_compile_flag_unless("format-security" -Werror=format-security)
kavenna_compile_flag_unless(" -f(no-)?stack-protector" -fstack-protector-strong)
# Fortified calls need an optimised build. Some compilers define the level
# themselves when optimising; a second definition would only warn.
set(CMAKE_REQUIRED_FLAGS "-O2")
check_cxx_source_compiles("#ifdef _FORTIFY_SOURCE
#error the compiler chose a level
#endif
int main() { return 0; }" KAVENNA_COMPILER_LEAVES_FORTIFY)
unset(CMAKE_REQUIRED_FLAGS)
if(KAVENNA_COMPILER_LEAVES_FORTIFY)
  kavenna_compile_flag_unless(" -[DU] *_FORTIFY_SOURCE" $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
endif()
if(NOT kavenna_given_LINK MATCHES "-z[, ]*(no)?relro")
  add_link_options(LINKER:-z,relro)
endif()
if(NOT kavenna_given_LINK MATCHES "-z[, ]*(now|lazy)")
  add_link_options(LINKER:-z,now)
endif()
