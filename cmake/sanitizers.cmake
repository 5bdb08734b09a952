# LYRDUA_SANITIZE applies to every target so that the library, the tests and
# the tool agree on the runtime.
if(LYRDUA_SANITIZE)
  add_compile_options(-fsanitize=${LYRDUA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${LYRDUA_SANITIZE})
endif()
