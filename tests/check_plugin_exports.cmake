# Checks that the plug-in library exports exactly the host's two entries.
#   cmake -DLIBRARY=<libvistrel_plugin.so> -DNM=<nm> -P check_plugin_exports.cmake
#   cmake -DLIBRARY=<vistrel_plugin.dll> -DOBJDUMP=<objdump> -P check_plugin_exports.cmake
if(NOT LIBRARY)
  message(FATAL_ERROR "LIBRARY is not set")
endif()

if(LIBRARY MATCHES "\\.dll$")
  # The DLL's export table, one "[ n] name" line per export after the name pointer table's title.
  execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY}
                  OUTPUT_VARIABLE listing RESULT_VARIABLE status ERROR_VARIABLE errors)
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" listing "${listing}")
  set(entry_pattern "^[ \t]*\\[ *[0-9]+\\] +([^ ]+)$")
else()
  # The dynamic symbols the library defines: "<address> <kind> <name>" per line.
  execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                  OUTPUT_VARIABLE listing RESULT_VARIABLE status ERROR_VARIABLE errors)
  set(entry_pattern "^[0-9a-fA-F]* *[A-Za-z] +([^ ]+)$")
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "Cannot list the exports of ${LIBRARY}: ${errors}")
endif()

string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(exported "")
foreach(line IN LISTS lines)
  if(line MATCHES "${entry_pattern}")
    list(APPEND exported "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(SORT exported)

set(expected user_initialize_plus user_terminate_plus)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "${LIBRARY} exports [${exported}], expected exactly [${expected}]")
endif()
message(STATUS "${LIBRARY} exports exactly: ${exported}")
