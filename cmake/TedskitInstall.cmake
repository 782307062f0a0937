# Installation: the libraries with their SONAMEs, the public headers, the data files,
# the teds tool with its man page, a pkg-config file and a CMake package whose targets
# are tedskit::<library>.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TEDSKIT_INSTALL_LIBRARIES)
foreach(library IN ITEMS orlin dorvia pellam quillon owbus ferrun calden tedskit)
  if(TARGET ${library})
    list(APPEND TEDSKIT_INSTALL_LIBRARIES ${library})
    # Installed libraries find each other, and teds finds them, wherever the prefix is.
    set_target_properties(${library} PROPERTIES INSTALL_RPATH "$ORIGIN")
  endif()
endforeach()

install(TARGETS ${TEDSKIT_INSTALL_LIBRARIES} EXPORT tedskitTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/tedskit DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h" PATTERN "*.hpp")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tedskit/data)
install(FILES ${PROJECT_SOURCE_DIR}/examples/sensor.bus ${PROJECT_SOURCE_DIR}/examples/README.md
  DESTINATION ${CMAKE_INSTALL_DATADIR}/tedskit/examples)
file(GLOB TEDSKIT_EXAMPLE_IMAGES ${PROJECT_SOURCE_DIR}/examples/*.hex)
install(FILES ${TEDSKIT_EXAMPLE_IMAGES} DESTINATION ${CMAKE_INSTALL_DATADIR}/tedskit/examples)

set(TEDSKIT_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/tedskit)
install(EXPORT tedskitTargets NAMESPACE tedskit:: DESTINATION ${TEDSKIT_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/tedskitConfig.cmake.in
  ${PROJECT_BINARY_DIR}/tedskitConfig.cmake INSTALL_DESTINATION ${TEDSKIT_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/tedskitConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/tedskitConfig.cmake ${PROJECT_BINARY_DIR}/tedskitConfigVersion.cmake
  DESTINATION ${TEDSKIT_CMAKE_DIR})

list(TRANSFORM TEDSKIT_INSTALL_LIBRARIES PREPEND "-l" OUTPUT_VARIABLE TEDSKIT_PC_LIBS)
list(JOIN TEDSKIT_PC_LIBS " " TEDSKIT_PC_LIBS)
# The prefix is found from the file's own place, so the tree may be installed anywhere.
file(RELATIVE_PATH TEDSKIT_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
string(REGEX REPLACE "/$" "" TEDSKIT_PC_TO_PREFIX "${TEDSKIT_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/tedskit.pc.in ${PROJECT_BINARY_DIR}/tedskit.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tedskit.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
