# Every command and option that `decimora --help` documents must reach the
# man page and the bash completion made from it: a help text laid out in a
# way their generators do not read would otherwise drop it silently.
#   cmake -DPROGRAM=<decimora> -DMAN_PAGE=<decimora.1> -DCOMPLETION=<file> -P CheckHelpCoverage.cmake

# Leaks are the sanitized program tests' concern, not this one's.
set(ENV{ASAN_OPTIONS} "detect_leaks=0")
execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)
file(READ "${MAN_PAGE}" man)
file(READ "${COMPLETION}" completion)

# The words a reader looks for: the commands after "decimora", and every
# option the text names. Brackets become blanks first: in a list element an
# unbalanced "[" would join it to the next.
string(REGEX REPLACE "[][]" " " help "${help}")
string(REGEX MATCHALL "decimora [a-z]+" commands "${help}")
string(REGEX MATCHALL "[ (]--?[a-z][-a-z]*" options "${help}")
set(words "")
foreach(match IN LISTS commands options)
  string(REGEX REPLACE "^(decimora |[ (])" "" word "${match}")
  list(APPEND words "${word}")
endforeach()
list(REMOVE_DUPLICATES words)
list(LENGTH words count)
if(count LESS 10)
  message(FATAL_ERROR "found only ${words} in decimora --help")
endif()

set(missing "")
foreach(word IN LISTS words)
  # The man page writes an option's leading dashes as minus signs.
  set(man_word "${word}")
  if(word MATCHES "^(-+)(.*)$")
    string(REPLACE "-" "\\-" dashes "${CMAKE_MATCH_1}")
    set(man_word "${dashes}${CMAKE_MATCH_2}")
  endif()
  string(FIND "${man}" "${man_word}" in_man)
  string(REGEX MATCH "[ \"|(]${word}[ \"|)]" in_completion "${completion}")
  if(in_man EQUAL -1)
    list(APPEND missing "${word} (man page)")
  endif()
  if(NOT in_completion)
    list(APPEND missing "${word} (completion)")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "documented in decimora --help but missing: ${missing}")
endif()
message(STATUS "${count} commands and options in both: ${words}")
