# Turns the installer's string table (resources/Strings.rc) into a C++ table
# for programs that cannot load resources (pakcheck), so that the texts have
# one source. Run as a script at build time:
#
#   cmake -DINPUT=resources/Strings.rc -DOUTPUT=InstallerTexts.inc -P InstallerTexts.cmake
#
# Each string-table line `  208 "A file ... found.\n %s"` becomes
# `{208, u8"A file ... found.\n %s"},`: the resource script's escapes are C's,
# and a doubled quote "" inside a text becomes \".
file(READ "${INPUT}" script)
# Keep list separators and brackets out of CMake's list handling.
string(REPLACE ";" "@SEMICOLON@" script "${script}")
string(REPLACE "[" "@OPEN@" script "${script}")
string(REPLACE "]" "@CLOSE@" script "${script}")
string(REPLACE "\r" "" script "${script}")
string(REPLACE "\n" ";" lines "${script}")
set(table "")
set(count 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^[ \t]*([1-4][01][0-9])[ \t]+\"(.*)\"[ \t]*$")
    continue()
  endif()
  set(id "${CMAKE_MATCH_1}")
  set(text "${CMAKE_MATCH_2}")
  string(REPLACE "\"\"" "\\\"" text "${text}")
  string(REPLACE "@SEMICOLON@" ";" text "${text}")
  string(REPLACE "@OPEN@" "[" text "${text}")
  string(REPLACE "@CLOSE@" "]" text "${text}")
  string(APPEND table "    {${id}, u8\"${text}\"},\n")
  math(EXPR count "${count} + 1")
endforeach()
if(NOT count EQUAL 72)
  message(FATAL_ERROR "${INPUT}: ${count} texts found, 72 (4 languages of 18) expected")
endif()
set(content "// Generated from resources/Strings.rc by cmake/InstallerTexts.cmake: edit the resource script.\n${table}")
# Rewrite only on change, so that nothing recompiles needlessly.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
  if(old STREQUAL content)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${content}")
