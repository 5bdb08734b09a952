# Compares the dynamic symbols that LIBRARY defines with the functions that
# the headers in HEADERS declare.
find_program(NM nm REQUIRED)
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE nm_out RESULT_VARIABLE nm_result)
if(NOT nm_result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[A-Za-z] [A-Za-z_][A-Za-z0-9_@.]*\n" lines "${nm_out}")
set(exported "")
foreach(line ${lines})
  string(REGEX REPLACE "^[A-Za-z] ([^\n]*)\n$" "\\1" name "${line}")
  list(APPEND exported ${name})
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/public_functions.cmake)
lyrdua_public_functions(declared ${HEADERS})

list(SORT exported)
set(missing ${declared})
list(REMOVE_ITEM missing ${exported})
set(extra ${exported})
list(REMOVE_ITEM extra ${declared})
list(LENGTH exported count)
if(missing OR extra)
  message(FATAL_ERROR "declared but not exported: ${missing}\nexported but not declared: ${extra}")
endif()
message(STATUS "${count} exported functions, all declared in the public headers")
