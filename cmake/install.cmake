# What `cmake --install` puts under the prefix: the library (on Windows the
# DLL with its import library and .def beside it in bin/), include/orvoapi.h,
# the CMake package (find_package(orvoapi) gives orvoapi::orvoapi), the
# pkg-config file orvoapi.pc and the orvo program.
include(CMakePackageConfigHelpers)
include(GNUInstallDirs)

target_include_directories(orvoapi INTERFACE
  $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/include>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
set_target_properties(orvoapi PROPERTIES PUBLIC_HEADER ${CMAKE_SOURCE_DIR}/include/orvoapi.h)

if(WIN32)
  # The import library lands beside the DLL in the build tree as well.
  set_target_properties(orvoapi PROPERTIES ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  add_custom_command(TARGET orvoapi POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ORVO_GEN_DIR}/orvoapi.def
            ${CMAKE_BINARY_DIR}/bin/orvoapi.def)
  set(ORVO_IMPLIB_DIR ${CMAKE_INSTALL_BINDIR})
else()
  set(ORVO_IMPLIB_DIR ${CMAKE_INSTALL_LIBDIR})
endif()

install(TARGETS orvoapi EXPORT orvoapiTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${ORVO_IMPLIB_DIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(WIN32)
  install(FILES ${ORVO_GEN_DIR}/orvoapi.def DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(ORVO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/orvoapi)
install(EXPORT orvoapiTargets NAMESPACE orvoapi:: DESTINATION ${ORVO_CMAKE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/orvoapiConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package/orvoapiConfig.cmake INSTALL_DESTINATION ${ORVO_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/orvoapiConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/orvoapiConfig.cmake
              ${CMAKE_BINARY_DIR}/package/orvoapiConfigVersion.cmake
        DESTINATION ${ORVO_CMAKE_DIR})

# The .pc file finds the prefix from its own place, so the tree can move.
string(REGEX MATCHALL "[^/]+" _orvo_pc_parts "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
set(ORVO_PC_PREFIX "\${pcfiledir}")
foreach(_part IN LISTS _orvo_pc_parts)
  string(APPEND ORVO_PC_PREFIX "/..")
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/cmake/orvoapi.pc.in ${CMAKE_BINARY_DIR}/package/orvoapi.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/orvoapi.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

if(TARGET orvo)
  if(NOT WIN32)
    set_target_properties(orvo PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
  endif()
  install(TARGETS orvo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
