# Remakes the import library of a 32-bit Windows DLL whose exports are the
# undecorated names of standard-call functions. Callers compiled against the
# headers refer to the decorated names (name@bytes), so the import library
# must define those and import the undecorated export. The decorated names
# are read from the DLL's own symbol table.
#
# cmake -DNM=... -DDLLTOOL=... -DLIBRARY=x.dll -DIMPORT_LIBRARY=libx.dll.a
#       -DPREFIXES="kor_;lyr_" -DDEF=work.def -P stdcall_import_library.cmake
execute_process(COMMAND ${NM} --defined-only ${LIBRARY}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE nm_result)
if(NOT nm_result EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REPLACE ";" "|" prefixes "${PREFIXES}")
string(REGEX MATCHALL " T _((${prefixes})[A-Za-z0-9_]*@[0-9]+)\n" decorated "${symbols}")
get_filename_component(dll_name ${LIBRARY} NAME)
set(def "LIBRARY ${dll_name}\nEXPORTS\n")
foreach(symbol ${decorated})
  string(REGEX REPLACE "^ T _([^\n]*)\n$" "\\1" name "${symbol}")
  string(APPEND def "  ${name}\n")
endforeach()
if(NOT decorated)
  message(FATAL_ERROR "${LIBRARY} defines no standard-call function of ${PREFIXES}")
endif()
file(WRITE ${DEF} "${def}")
execute_process(COMMAND ${DLLTOOL} --kill-at --input-def ${DEF} --dllname ${dll_name}
                        --output-lib ${IMPORT_LIBRARY}
                RESULT_VARIABLE dlltool_result)
if(NOT dlltool_result EQUAL 0)
  message(FATAL_ERROR "${DLLTOOL} could not make ${IMPORT_LIBRARY}")
endif()
