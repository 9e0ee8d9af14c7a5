# Fails unless the symbols that LIBRARY exports are exactly the names of EXPORT_LIST. A Windows
# DLL is read with OBJDUMP, and must also import from no DLL but the system's.
cmake_minimum_required(VERSION 3.20)

# The names that a tool's output lists, one per line: what the first group of `line_pattern`
# matches on the lines that match it.
function(matching_names output line_pattern result)
  string(REPLACE "\n" ";" lines "${output}")
  set(names)
  foreach(line IN LISTS lines)
    if(line MATCHES "${line_pattern}")
      list(APPEND names ${CMAKE_MATCH_1})
    endif()
  endforeach()
  list(SORT names)
  set(${result} "${names}" PARENT_SCOPE)
endfunction()

function(run_tool result)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE output RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}")
  endif()
  set(${result} "${output}" PARENT_SCOPE)
endfunction()

# The DLLs that a Windows DLL may import: the system's own, as msvcrt is with MinGW-w64.
set(system_dlls kernel32.dll user32.dll msvcrt.dll)

set(name "[A-Za-z_][A-Za-z0-9_]*")
if(LIBRARY MATCHES "\\.dll$")
  run_tool(dump ${OBJDUMP} -p ${LIBRARY})
  # The export table's name list: "\t[   0] close_list_variables".
  matching_names("${dump}" "^\t\\[ *[0-9]+\\] ([^ ]+)$" exported)
  matching_names("${dump}" "^\tDLL Name: (.+)$" imported)
  foreach(dll IN LISTS imported)
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST system_dlls)
      message(FATAL_ERROR "imports ${dll}; allowed are only: ${system_dlls}")
    endif()
  endforeach()
else()
  run_tool(symbols nm -D --defined-only --format=just-symbols ${LIBRARY})
  matching_names("${symbols}" "^(${name})$" exported)
  list(REMOVE_ITEM exported _init _fini _edata _end __bss_start)
endif()

file(READ ${EXPORT_LIST} export_list)
matching_names("${export_list}" "^[ \t]+(${name})[ \t]*$" expected)

if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "exported:\n  ${exported}\nexpected:\n  ${expected}")
endif()
