# Fails unless the dynamic symbols that LIBRARY defines are exactly the names of EXPORT_LIST.
execute_process(COMMAND nm -D --defined-only --format=just-symbols ${LIBRARY}
                OUTPUT_VARIABLE exported RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_]*" exported "${exported}")
list(REMOVE_ITEM exported _init _fini _edata _end __bss_start)
list(SORT exported)

file(STRINGS ${EXPORT_LIST} lines)
set(expected)
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]*$")
    list(APPEND expected ${CMAKE_MATCH_1})
  endif()
endforeach()
list(SORT expected)

if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "exported:\n  ${exported}\nexpected:\n  ${expected}")
endif()
