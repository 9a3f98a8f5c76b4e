# The table of the module's exports, module/exports.json, is the one list of them: each export's
# name, group, parameter list and documented result codes with their meanings. Configuring reads it
# and writes, into ${TORVEX_EXPORT_TABLE_DIR}:
#   TorvexModule.def       the DLL's export list (undecorated names in both widths);
#   export_names.txt       the full names, one a line, for the check of the built DLL;
#   torvex_export_table.h  X-macro lists of the names, the rows and the result codes, for C++.
# Adding an export is one row in the table plus its code.
set(TORVEX_EXPORT_TABLE ${PROJECT_SOURCE_DIR}/module/exports.json)
set(TORVEX_EXPORT_TABLE_DIR ${CMAKE_BINARY_DIR}/export_table)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TORVEX_EXPORT_TABLE})

file(READ ${TORVEX_EXPORT_TABLE} table)
string(JSON prefix GET "${table}" prefix)
string(JSON export_count LENGTH "${table}" exports)
string(JSON group_count LENGTH "${table}" groups)
set(groups)
math(EXPR last "${group_count} - 1")
foreach(g RANGE ${last})
  string(JSON group GET "${table}" groups ${g})
  list(APPEND groups ${group})
endforeach()

# A C string literal of `text`.
function(torvex_c_string out text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

set(def "LIBRARY TorvexModule.dll\nEXPORTS\n")
set(names_file "")
set(list_macro "#define TORVEX_EXPORT_LIST(X)")
set(rows_macro "#define TORVEX_EXPORT_ROWS(X)")
set(results_macro "#define TORVEX_EXPORT_RESULTS(X)")
set(seen_names)
math(EXPR last "${export_count} - 1")
foreach(e RANGE ${last})
  string(JSON name GET "${table}" exports ${e} name)
  string(JSON group GET "${table}" exports ${e} group)
  string(JSON arguments GET "${table}" exports ${e} arguments)
  string(JSON returns_count ERROR_VARIABLE no_count GET "${table}" exports ${e} returns_count)
  if(no_count)
    set(returns_count OFF)
  endif()
  if(name IN_LIST seen_names)
    message(FATAL_ERROR "${TORVEX_EXPORT_TABLE}: ${name} is listed twice")
  endif()
  list(APPEND seen_names ${name})
  list(FIND groups "${group}" group_index)
  if(group_index LESS 0)
    message(FATAL_ERROR "${TORVEX_EXPORT_TABLE}: ${name} is in group \"${group}\", which is not one of: ${groups}")
  endif()
  # A parameter is a pointer when its declaration has a '*'.
  string(REGEX MATCHALL "[^,]+" parameters "${arguments}")
  set(pointers 0)
  foreach(p IN LISTS parameters)
    if(p MATCHES "\\*")
      math(EXPR pointers "${pointers} + 1")
    endif()
  endforeach()
  if(returns_count)
    set(returns_count true)
  else()
    set(returns_count false)
  endif()

  string(APPEND def "    ${prefix}${name}\n")
  string(APPEND names_file "${prefix}${name}\n")
  string(APPEND list_macro " \\\n    X(${name})")
  torvex_c_string(arguments_literal "${arguments}")
  string(APPEND rows_macro " \\\n    X(${name}, ${group}, ${arguments_literal}, ${pointers}, ${returns_count})")

  string(JSON result_count LENGTH "${table}" exports ${e} results)
  math(EXPR last_result "${result_count} - 1")
  set(seen_codes)
  foreach(r RANGE ${last_result})
    string(JSON code GET "${table}" exports ${e} results ${r} code)
    string(JSON meaning GET "${table}" exports ${e} results ${r} meaning)
    if(code IN_LIST seen_codes OR meaning STREQUAL "")
      message(FATAL_ERROR "${TORVEX_EXPORT_TABLE}: ${name}'s code ${code} is listed twice or has no meaning")
    endif()
    list(APPEND seen_codes ${code})
    torvex_c_string(meaning_literal "${meaning}")
    string(APPEND results_macro " \\\n    X(${name}, ${code}, ${meaning_literal})")
  endforeach()
endforeach()

set(groups_macro "#define TORVEX_EXPORT_GROUPS(X)")
foreach(group IN LISTS groups)
  string(APPEND groups_macro " X(${group})")
endforeach()

file(MAKE_DIRECTORY ${TORVEX_EXPORT_TABLE_DIR})
file(CONFIGURE OUTPUT ${TORVEX_EXPORT_TABLE_DIR}/TorvexModule.def CONTENT "${def}")
file(CONFIGURE OUTPUT ${TORVEX_EXPORT_TABLE_DIR}/export_names.txt CONTENT "${names_file}")
file(CONFIGURE OUTPUT ${TORVEX_EXPORT_TABLE_DIR}/torvex_export_table.h CONTENT
"// Made by cmake/ExportTable.cmake from module/exports.json: change the table, not this file.
#pragma once

#define TORVEX_EXPORT_PREFIX \"${prefix}\"
#define TORVEX_EXPORT_COUNT ${export_count}

// X(group): the groups of exports; each group runs under a lock of its own.
${groups_macro}

// X(name): every export, Torvex_Api_<name>, in the table's order.
${list_macro}

// X(name, group, parameter list as declared, pointer parameters, returns a count)
${rows_macro}

// X(name, code, meaning): every documented result code of every export.
${results_macro}
" @ONLY)

# Programs that use the table include "torvex_export_table.h".
add_library(torvex_export_table INTERFACE)
target_include_directories(torvex_export_table INTERFACE ${TORVEX_EXPORT_TABLE_DIR})
