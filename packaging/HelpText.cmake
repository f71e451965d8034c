# Reads `<program> --help` as a list of lines, for the scripts that make the
# man page and the bash completion from it. A list element cannot hold ";",
# and an unbalanced "[" or "]" would join lines, so control characters stand
# in for the three (${HELP_SEMICOLON}, ${HELP_OPEN}, ${HELP_CLOSE}) until
# help_restore() puts them back.

string(ASCII 1 HELP_OPEN)
string(ASCII 2 HELP_CLOSE)
string(ASCII 3 HELP_SEMICOLON)

function(read_help_lines program out)
  # In a sanitized build the program's leak report at exit is no concern of
  # its help text.
  set(ENV{ASAN_OPTIONS} "detect_leaks=0")
  execute_process(COMMAND "${program}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${program} --help failed: ${status}")
  endif()
  string(REPLACE ";" "${HELP_SEMICOLON}" help "${help}")
  string(REPLACE "[" "${HELP_OPEN}" help "${help}")
  string(REPLACE "]" "${HELP_CLOSE}" help "${help}")
  string(REGEX REPLACE "\n$" "" help "${help}")
  string(REPLACE "\n" ";" lines "${help}")
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

# Puts ";", "[" and "]" back into the text in `var`.
function(help_restore var)
  set(text "${${var}}")
  string(REPLACE "${HELP_SEMICOLON}" ";" text "${text}")
  string(REPLACE "${HELP_OPEN}" "[" text "${text}")
  string(REPLACE "${HELP_CLOSE}" "]" text "${text}")
  set(${var} "${text}" PARENT_SCOPE)
endfunction()
