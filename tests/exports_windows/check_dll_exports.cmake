# Compares the names in the export table of the DLL LIBRARY (read with
# OBJDUMP -p) with the functions that the headers HEADERS (a glob) declare: a
# prototype is a line that names the function right after PROTOTYPE (a regular
# expression ending in the name's first word and "_"). Names must match
# exactly, so a decorated standard-call name (name@8) counts as missing.
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY}
                OUTPUT_VARIABLE dump RESULT_VARIABLE dump_result)
if(NOT dump_result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p failed on ${LIBRARY}")
endif()
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" table_start)
if(table_start EQUAL -1)
  message(FATAL_ERROR "${LIBRARY} has no export name table")
endif()
string(SUBSTRING "${dump}" ${table_start} -1 table)
string(REGEX MATCHALL "\n\t\\[ *[0-9]+\\] [^\n]+" rows "${table}")
set(exported "")
foreach(row ${rows})
  string(REGEX REPLACE "^\n\t\\[ *[0-9]+\\] " "" name "${row}")
  list(APPEND exported ${name})
endforeach()

file(GLOB headers ${HEADERS})
set(declared "")
foreach(header ${headers})
  file(STRINGS ${header} prototypes REGEX "^[a-z].*${PROTOTYPE}")
  foreach(prototype ${prototypes})
    string(REGEX MATCH "${PROTOTYPE}[A-Za-z0-9_]*\\(" named "${prototype}")
    string(REGEX REPLACE "^.* ([a-z][A-Za-z0-9_]*)\\($" "\\1" name "${named}")
    list(APPEND declared ${name})
  endforeach()
endforeach()

list(SORT exported)
list(SORT declared)
set(missing ${declared})
list(REMOVE_ITEM missing ${exported})
set(extra ${exported})
list(REMOVE_ITEM extra ${declared})
list(LENGTH exported count)
if(NOT declared OR missing OR extra)
  message(FATAL_ERROR "declared but not exported: ${missing}\nexported but not declared: ${extra}")
endif()
message(STATUS "${LIBRARY}: ${count} exports, each declared in ${HEADERS}")
