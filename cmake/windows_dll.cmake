# Helpers for the Windows DLLs (cross builds with the mingw-w64 toolchain files).

# lyrdua_stdcall_import_library(<target> <prefixes...>): on the 32-bit target,
# remakes the target's import library so that callers' decorated
# standard-call names bind to its undecorated exports.
function(lyrdua_stdcall_import_library target)
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND}
      -DNM=${LYRDUA_NM}
      -DDLLTOOL=${LYRDUA_DLLTOOL}
      -DLIBRARY=$<TARGET_FILE:${target}>
      -DIMPORT_LIBRARY=$<TARGET_LINKER_FILE:${target}>
      "-DPREFIXES=${ARGN}"
      -DDEF=${CMAKE_CURRENT_BINARY_DIR}/${target}_stdcall.def
      -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/stdcall_import_library.cmake
    VERBATIM)
endfunction()
