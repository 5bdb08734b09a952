# GoogleTest for the mingw-w64 builds: compiled from the source that the
# distribution ships (/usr/src/googletest), with the cross compiler, under the
# names that find_package(GTest) gives.
set(LYRDUA_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source for cross builds")
if(NOT TARGET gtest)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${LYRDUA_GTEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
foreach(library gtest gtest_main)
  if(NOT TARGET GTest::${library})
    add_library(GTest::${library} ALIAS ${library})
  endif()
endforeach()
set(GTest_FOUND TRUE)
