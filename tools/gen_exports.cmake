# Turns api/exports.list into the export tables of every build:
#   orvoapi.def          Windows: each export under its plain name and with a
#                        leading underscore, both naming the same code;
#   orvoapi.map          Linux: version script that exports exactly the list;
#   orvoapi_aliases.ld   Linux: the underscore names as aliases of the plain ones;
#   export_names.inc     ORVO_EXPORT(Name) lines, for the header and load checks.
# Usage: cmake -DLIST=api/exports.list -DOUT=<dir> -P tools/gen_exports.cmake
cmake_minimum_required(VERSION 3.25)
file(STRINGS "${LIST}" lines)
set(names "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "#.*$" "" line "${line}")
  string(STRIP "${line}" line)
  if(line STREQUAL "")
    continue()
  endif()
  if(NOT line MATCHES "^[A-Za-z][A-Za-z0-9]*$")
    message(FATAL_ERROR "exports.list: '${line}' is not an export name")
  endif()
  if(line IN_LIST names)
    message(FATAL_ERROR "exports.list: '${line}' is listed twice")
  endif()
  list(APPEND names "${line}")
endforeach()

set(def "LIBRARY orvoapi.dll\nEXPORTS\n")
set(map "{\n  global:\n")
set(ld "/* underscore aliases of the exports */\n")
set(inc "/* generated from api/exports.list */\n")
foreach(n IN LISTS names)
  string(APPEND def "  ${n}\n  _${n} = ${n}\n")
  string(APPEND map "    ${n};\n    _${n};\n")
  string(APPEND ld "_${n} = ${n};\n")
  string(APPEND inc "ORVO_EXPORT(${n})\n")
endforeach()
string(APPEND map "  local:\n    *;\n};\n")

file(MAKE_DIRECTORY "${OUT}")
# Write only on change, so that an unchanged list does not relink everything.
foreach(pair "orvoapi.def|def" "orvoapi.map|map" "orvoapi_aliases.ld|ld" "export_names.inc|inc")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 file)
  list(GET pair 1 var)
  file(CONFIGURE OUTPUT "${OUT}/${file}" CONTENT "${${var}}" @ONLY)
endforeach()
