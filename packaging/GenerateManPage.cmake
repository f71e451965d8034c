# Writes decimora(1) from the program's help text, so that the man page says
# what `decimora --help` says.
#   cmake -DPROGRAM=<decimora> -DSUMMARY=<one line> -DOUTPUT=<file> -P GenerateManPage.cmake
# The help's layout maps onto the page: the usage lines are the synopsis;
# a line ending in ":" at the left edge heads a section; "  TAG  text" is a
# tagged paragraph whose text goes on in the indented lines below it, with
# "word  text" lines indented further as a list inside it; other text makes
# plain paragraphs, split at blank lines.

include("${CMAKE_CURRENT_LIST_DIR}/HelpText.cmake")
read_help_lines("${PROGRAM}" lines)
execute_process(COMMAND "${PROGRAM}" --version OUTPUT_VARIABLE version
  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
get_filename_component(name "${PROGRAM}" NAME)
string(TOUPPER "${name}" title)
string(TIMESTAMP date "%Y-%m-%d" UTC)  # SOURCE_DATE_EPOCH, when set

# `text` as roff: backslashes kept, a leading dot or quote kept as text,
# the dashes of options made minus signs.
function(roff out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  # A hyphen after a letter or digit is a word's own ("plug-in", "1- to").
  string(REGEX REPLACE "([A-Za-z0-9])\\\\-" "\\1-" text "${text}")
  if(text MATCHES "^[.']")
    set(text "\\&${text}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# A tag or synopsis: options in bold, placeholders (FILE, DIR...) in italics.
function(roff_tag out text)
  roff(text "${text}")
  string(REGEX REPLACE "(^| |${HELP_OPEN})((\\\\-)+[a-z][-a-z]*)" "\\1\\\\fB\\2\\\\fR" text "${text}")
  string(REGEX REPLACE "(^| )([A-Z][A-Z_]*)" "\\1\\\\fI\\2\\\\fR" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(page ".TH ${title} 1 \"${date}\" \"${version}\" \"User Commands\"\n.nh\n")
string(APPEND page ".SH NAME\n${name} \\- ${SUMMARY}\n.SH SYNOPSIS\n")

# in: where the last line left off: synopsis, paragraph, item, subitem or
# nothing (after a blank line or a heading).
set(in synopsis)
set(described OFF)
set(listed OFF)  # the current section holds a list of tagged items
foreach(line IN LISTS lines)
  if(in STREQUAL "synopsis" AND line MATCHES "^(Usage:)? +${name} (.*)$")
    roff_tag(rest "${CMAKE_MATCH_2}")
    string(APPEND page "\\fB${name}\\fR ${rest}\n.br\n")
    continue()
  endif()
  if(line STREQUAL "")
    if(in STREQUAL "subitem")
      string(APPEND page ".RE\n")
    endif()
    set(in "")
    continue()
  endif()
  if(NOT described)
    string(APPEND page ".SH DESCRIPTION\n")
    set(described ON)
  endif()
  if(line MATCHES "^([^ ].*):$")
    string(TOUPPER "${CMAKE_MATCH_1}" heading)
    string(APPEND page ".SH \"${heading}\"\n")
    set(in "")
    set(listed OFF)
  elseif(line MATCHES "^  ([^ ]+( [^ ]+)*)  +(.*)$")
    roff_tag(tag "${CMAKE_MATCH_1}")
    roff(text "${CMAKE_MATCH_3}")
    if(in STREQUAL "subitem")
      string(APPEND page ".RE\n")
    endif()
    string(APPEND page ".TP\n${tag}\n${text}\n")
    set(in item)
    set(listed ON)
  elseif(in MATCHES "item" AND line MATCHES "^                    ([a-z]+)  +(.*)$")
    roff(text "${CMAKE_MATCH_2}")
    if(in STREQUAL "item")
      string(APPEND page ".RS\n")
    endif()
    string(APPEND page ".TP\n\\fB${CMAKE_MATCH_1}\\fR\n${text}\n")
    set(in subitem)
  elseif(in STREQUAL "subitem" AND line MATCHES "^                     +(.*)$")
    roff(text "${CMAKE_MATCH_1}")
    string(APPEND page "${text}\n")
  elseif(in STREQUAL "subitem" AND line MATCHES "^ +(.*)$")
    # Back at the item's own indent, after its list.
    roff(text "${CMAKE_MATCH_1}")
    string(APPEND page ".RE\n.IP\n${text}\n")
    set(in item)
  elseif(in MATCHES "item|paragraph")
    string(STRIP "${line}" line)
    roff(text "${line}")
    # A word broken at its hyphen ("lookup-" / "table") is joined again.
    string(REGEX REPLACE "([A-Za-z])-\n$" "\\1-" page "${page}")
    string(APPEND page "${text}\n")
  else()
    # Text after a section's list is no longer about its items.
    if(listed)
      string(APPEND page ".SH NOTES\n")
      set(listed OFF)
    endif()
    roff(text "${line}")
    string(APPEND page ".PP\n${text}\n")
    set(in paragraph)
  endif()
endforeach()
if(in STREQUAL "subitem")
  string(APPEND page ".RE\n")
endif()

help_restore(page)
file(WRITE "${OUTPUT}" "${page}")
