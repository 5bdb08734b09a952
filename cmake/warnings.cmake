# Warnings shared by every target of the project.
function(lyrdua_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion)
  if(LYRDUA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
