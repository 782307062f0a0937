# Writes teds.1 from the output of "teds --help" and "teds COMMAND --help".
# Arguments: TEDS (the binary), OUT, VERSION, BUILD_DATA and INSTALLED_DATA (the help's
# default template directory in the build tree, and what to show instead).
function(help_of out)
  execute_process(COMMAND ${TEDS} ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "teds ${ARGN} failed: ${status}")
  endif()
  string(REPLACE "${BUILD_DATA}" "${INSTALLED_DATA}" text "${text}")
  # roff: a backslash is written \e; a line may not start with a dot or a quote.
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

help_of(overview --help)
string(REGEX MATCHALL "\n  ([a-z]+) " lines "${overview}")
set(page ".TH TEDS 1 \"\" \"tedskit ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\nteds \\- read, decode, edit, encode and write IEEE 1451.4 TEDS\n")
string(APPEND page ".SH SYNOPSIS\n.nf\n${overview}.fi\n.SH COMMANDS\n")
foreach(line IN LISTS lines)
  string(STRIP "${line}" command)
  help_of(text ${command} --help)
  string(APPEND page ".SS ${command}\n.nf\n${text}.fi\n")
endforeach()
string(APPEND page ".SH FILES\n.TP\n${INSTALLED_DATA}\nthe template files\n")
string(APPEND page ".SH EXIT STATUS\n0 on success, 1 when the command failed, 2 for a mistake in the command line.\n")
file(WRITE ${OUT} "${page}")
