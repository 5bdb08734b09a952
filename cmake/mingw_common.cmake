# What the two mingw-w64 toolchain files share; LYRDUA_MINGW_TRIPLET names the
# target.
set(CMAKE_C_COMPILER ${LYRDUA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LYRDUA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${LYRDUA_MINGW_TRIPLET}-windres)
set(LYRDUA_WINDMC ${LYRDUA_MINGW_TRIPLET}-windmc)
set(LYRDUA_OBJDUMP ${LYRDUA_MINGW_TRIPLET}-objdump)
set(LYRDUA_NM ${LYRDUA_MINGW_TRIPLET}-nm)
set(LYRDUA_DLLTOOL ${LYRDUA_MINGW_TRIPLET}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${LYRDUA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes and winpthread go into every DLL and program, so that
# they run with nothing but the system's own DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# GoogleTest is built from its source with the cross compiler (see
# cmake/mingw/GTestConfig.cmake); programs built here run under Wine.
list(PREPEND CMAKE_PREFIX_PATH ${CMAKE_CURRENT_LIST_DIR}/mingw)
set(GTest_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw)
find_program(LYRDUA_WINE wine)
if(LYRDUA_WINE AND LYRDUA_MINGW_TRIPLET STREQUAL "x86_64-w64-mingw32")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${LYRDUA_WINE})
endif()

