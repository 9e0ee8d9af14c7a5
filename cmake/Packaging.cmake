# Installation: the public headers (C and C++), the shared library, a CMake package giving the imported target
# regscript::regscript, and a pkg-config file. The command-line host installs itself.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set_target_properties(regscript PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})

install(TARGETS regscript EXPORT regscriptTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# Every public header of include/, also those added later: a host needs each one the documents name.
install(DIRECTORY include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.h" PATTERN "*.hpp")

set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/regscript)
install(EXPORT regscriptTargets NAMESPACE regscript:: DESTINATION ${package_dir})
configure_package_config_file(cmake/regscriptConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/regscriptConfig.cmake INSTALL_DESTINATION ${package_dir})
# Before 1.0 a minor version may change the interface.
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/regscriptConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/regscriptConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/regscriptConfigVersion.cmake
        DESTINATION ${package_dir})

# The .pc file finds the prefix from its own place, so the tree works wherever it is installed.
set(pkgconfig_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH pkgconfig_dir_to_prefix /${pkgconfig_dir} /)
string(REGEX REPLACE "/$" "" pkgconfig_dir_to_prefix ${pkgconfig_dir_to_prefix})
configure_file(cmake/regscript.pc.in ${CMAKE_CURRENT_BINARY_DIR}/regscript.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/regscript.pc DESTINATION ${pkgconfig_dir})
