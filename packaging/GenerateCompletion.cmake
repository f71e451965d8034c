# Writes decimora's bash completion from its help text, so that the commands
# and options it offers are the ones the program documents.
#   cmake -DPROGRAM=<decimora> -DTEMPLATE=<.in file> -DOUTPUT=<file> -P GenerateCompletion.cmake
# The commands come from the usage lines ("decimora reduce INPUT..."), each
# command's options from its "<command> options:" section or, without one,
# from the brackets of its usage line. An option's argument decides what is
# completed after it: FILE and OUTPUT a file, DIR a folder, MODE one of the
# words listed under the option; N, Q and SIZE nothing. Any other argument
# stops the build, so that a changed help text is not completed wrongly.

include("${CMAKE_CURRENT_LIST_DIR}/HelpText.cmake")
read_help_lines("${PROGRAM}" lines)

set(commands "")
set(file_options "")
set(dir_options "")
set(value_options "")
set(choice_options "")

# Records `option` as taking `argument` (empty: a flag).
function(note_option option argument)
  if(argument STREQUAL "")
    return()
  elseif(argument MATCHES "^(FILE|OUTPUT)$")
    set(list file_options)
  elseif(argument STREQUAL "DIR")
    set(list dir_options)
  elseif(argument MATCHES "^(N|Q|SIZE)$")
    set(list value_options)
  elseif(argument STREQUAL "MODE")
    set(list choice_options)
  else()
    message(FATAL_ERROR "decimora --help: ${option} takes ${argument}, which the completion does not know")
  endif()
  set(${list} ${${list}} ${option} PARENT_SCOPE)
endfunction()

set(usage ON)  # the usage lines open the help, up to its first blank line
set(section "")
set(last_option "")
foreach(line IN LISTS lines)
  if(usage AND line MATCHES "^(Usage:)? +decimora ([a-z]+)(.*)$")
    set(command "${CMAKE_MATCH_2}")
    set(rest "${CMAKE_MATCH_3}")
    list(APPEND commands ${command})
    set(takes_files_${command} OFF)
    if(rest MATCHES "[A-Z]+\\.\\.\\.")
      set(takes_files_${command} ON)
    endif()
    string(REGEX MATCHALL "${HELP_OPEN}--?[-a-z]+( [A-Z]+)?${HELP_CLOSE}" bracketed "${rest}")
    foreach(item IN LISTS bracketed)
      string(REGEX MATCH "^${HELP_OPEN}(--?[-a-z]+) ?([A-Z]*)${HELP_CLOSE}$" _ "${item}")
      list(APPEND options_${command} ${CMAKE_MATCH_1})
      note_option(${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
    endforeach()
  elseif(line MATCHES "^([a-z]+) options:$")
    set(section "${CMAKE_MATCH_1}")
    set(options_${section} "")
  elseif(line STREQUAL "")
    set(usage OFF)
    set(section "")
  elseif(section AND line MATCHES "^  (--?[-a-z]+)( ([A-Z]+))? ")
    set(last_option "${CMAKE_MATCH_1}")
    list(APPEND options_${section} ${CMAKE_MATCH_1})
    note_option(${CMAKE_MATCH_1} "${CMAKE_MATCH_3}")
  elseif(section AND line MATCHES "^                    ([a-z]+)  ")
    list(APPEND choices_${last_option} ${CMAKE_MATCH_1})
  endif()
endforeach()

if(NOT commands)
  message(FATAL_ERROR "decimora --help names no commands")
endif()

# An option that several commands take is one case.
foreach(list IN ITEMS file_options dir_options value_options choice_options)
  list(REMOVE_DUPLICATES ${list})
endforeach()

# The case branches for what follows an option, one per kind of argument.
set(OPTION_CASES "")
function(add_case options action)
  if(options)
    list(JOIN options "|" pattern)
    string(APPEND OPTION_CASES "        ${pattern}) ${action}; return ;;\n")
    set(OPTION_CASES "${OPTION_CASES}" PARENT_SCOPE)
  endif()
endfunction()
add_case("${file_options}" "_filedir")
add_case("${dir_options}" "_filedir -d")
foreach(option IN LISTS choice_options)
  if(NOT choices_${option})
    message(FATAL_ERROR "decimora --help lists no values under ${option}")
  endif()
  list(JOIN choices_${option} " " words)
  add_case(${option} "COMPREPLY=($(compgen -W \"${words}\" -- \"$cur\"))")
endforeach()
add_case("${value_options}" ":")
string(REGEX REPLACE "\n$" "" OPTION_CASES "${OPTION_CASES}")

list(JOIN commands " " COMMANDS)
set(COMMAND_CASES "")
foreach(command IN LISTS commands)
  list(JOIN options_${command} " " words)
  set(offer "COMPREPLY=($(compgen -W \"${words}\" -- \"$cur\"))")
  if(takes_files_${command})
    set(offer "if [[ $cur == -* ]]; then ${offer}; else _filedir; fi")
  endif()
  string(APPEND COMMAND_CASES "        ${command}) ${offer} ;;\n")
endforeach()
string(REGEX REPLACE "\n$" "" COMMAND_CASES "${COMMAND_CASES}")

configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
