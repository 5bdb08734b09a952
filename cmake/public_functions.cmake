# lyrdua_public_functions(<var> <headers dir>): the names of the functions
# that the public headers declare (each prototype stands on one line that
# begins with its return type and names the function after KOR_API).
function(lyrdua_public_functions out_var headers_dir)
  file(GLOB headers ${headers_dir}/*.h)
  set(declared "")
  foreach(header ${headers})
    file(STRINGS ${header} prototypes REGEX "^[a-z].*KOR_API (kor|lyr)_")
    foreach(prototype ${prototypes})
      string(REGEX REPLACE "^.*KOR_API ((kor|lyr)_[A-Za-z0-9_]*)\\(.*$" "\\1" name "${prototype}")
      list(APPEND declared ${name})
    endforeach()
  endforeach()
  list(SORT declared)
  set(${out_var} ${declared} PARENT_SCOPE)
endfunction()
