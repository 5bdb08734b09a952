# Installation: the headers, liblyrdua with its soname links, the schema store
# liblyrutil and the message module beside it (where liblyrdua looks for both),
# the tool with its manual page, a CMake package (find_package(lyrdua) giving
# lyrdua::lyrdua) and a pkg-config file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The library finds liblyrutil beside itself; the tool finds the library in
# the lib folder next to its own bin folder.
file(RELATIVE_PATH tool_to_lib
  ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set_target_properties(lyrdua lyrutil PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(lyrdua_tool PROPERTIES INSTALL_RPATH "$ORIGIN/${tool_to_lib}")

target_include_directories(lyrdua INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

install(TARGETS lyrdua EXPORT lyrdua-targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development)
# liblyrutil is in the export set only because liblyrdua links it.
install(TARGETS lyrutil EXPORT lyrdua-targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_SKIP)
install(TARGETS lyrmsg
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime)
install(TARGETS lyrdua_tool
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/lyrdua
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development
  FILES_MATCHING PATTERN "*.h")
install(FILES ${PROJECT_SOURCE_DIR}/doc/lyrdua.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)

set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/lyrdua)
install(EXPORT lyrdua-targets NAMESPACE lyrdua:: DESTINATION ${package_dir}
  COMPONENT development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/lyrdua-config.cmake.in
  ${PROJECT_BINARY_DIR}/lyrdua-config.cmake INSTALL_DESTINATION ${package_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/lyrdua-config-version.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/lyrdua-config.cmake ${PROJECT_BINARY_DIR}/lyrdua-config-version.cmake
  DESTINATION ${package_dir} COMPONENT development)

# The pkg-config file names its prefix relative to itself, so that the tree
# can be installed anywhere (cmake --install --prefix).
file(RELATIVE_PATH pc_to_prefix
  ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/lyrdua.pc.in ${PROJECT_BINARY_DIR}/lyrdua.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/lyrdua.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
