# What `cmake --install` and `cpack -G DEB` deliver: the program, the three
# libraries with their headers, pkg-config files and CMake packages, and the
# tools a person uses by hand. Nothing of the tests or benchmarks.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Installed files find each other relative to where they lie, so a tree
# installed under any prefix (or moved) still runs.
file(RELATIVE_PATH orvane_bin_to_lib "/${CMAKE_INSTALL_BINDIR}" "/${CMAKE_INSTALL_LIBDIR}")
set(ORVANE_PROGRAM_RPATH "$ORIGIN/${orvane_bin_to_lib}")

set(orvane_libraries quillon tessin sandral)
foreach(lib IN LISTS orvane_libraries)
  set_target_properties(${lib} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
                                          INSTALL_RPATH "$ORIGIN")
endforeach()
set_target_properties(quillon PROPERTIES PUBLIC_HEADER ${PROJECT_SOURCE_DIR}/quillon/include/quillon.h)
set_target_properties(tessin PROPERTIES PUBLIC_HEADER ${PROJECT_SOURCE_DIR}/tessin/include/tessin.h)
set_target_properties(sandral PROPERTIES PUBLIC_HEADER ${PROJECT_SOURCE_DIR}/sandral/include/sandral.h)

set(orvane_programs vexa ch10-gen ingest-standin stanag-image stanag-cat sandral-list)
set_target_properties(${orvane_programs} PROPERTIES INSTALL_RPATH "${ORVANE_PROGRAM_RPATH}")
install(TARGETS ${orvane_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programs)
# The window module, which vexa loads from ../lib only to open a window.
if(TARGET vexa_wx)
  install(TARGETS vexa_wx LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT window)
endif()

set(orvane_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake)
set(orvane_pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
# The .pc files name their prefix relative to themselves (relocatable).
file(RELATIVE_PATH orvane_pc_to_prefix "/${orvane_pc_dir}" "/")
string(REGEX REPLACE "/$" "" orvane_pc_to_prefix "${orvane_pc_to_prefix}")

# orvane_install_library(target Package "Description" "requires" "dependency")
function(orvane_install_library lib package description requires dependency)
  install(TARGETS ${lib} EXPORT ${package}Targets
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT libraries NAMELINK_COMPONENT development
          PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development
          INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(EXPORT ${package}Targets NAMESPACE ${package}:: DESTINATION ${orvane_cmake_dir}/${package}
          COMPONENT development)
  set(ORVANE_PACKAGE ${package})
  set(ORVANE_DEPENDENCY ${dependency})
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/package/Config.cmake.in
                                ${CMAKE_CURRENT_BINARY_DIR}/package/${package}Config.cmake
                                INSTALL_DESTINATION ${orvane_cmake_dir}/${package})
  write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/package/${package}ConfigVersion.cmake
                                   COMPATIBILITY SameMajorVersion)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/package/${package}Config.cmake
                ${CMAKE_CURRENT_BINARY_DIR}/package/${package}ConfigVersion.cmake
          DESTINATION ${orvane_cmake_dir}/${package} COMPONENT development)
  set(ORVANE_PC_NAME ${lib})
  set(ORVANE_PC_DESCRIPTION "${description}")
  set(ORVANE_PC_REQUIRES "${requires}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/package/library.pc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/package/${lib}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/package/${lib}.pc DESTINATION ${orvane_pc_dir} COMPONENT development)
endfunction()

orvane_install_library(quillon Quillon "STANAG 4575 recorder drives through an ingest server" "" "")
orvane_install_library(tessin Tessin "IRIG 106 Chapter 10 recording input and TMATS services" "" "")
orvane_install_library(sandral Sandral "IRIG 106 Chapter 10 packet reader and text decoder" "tessin" "Tessin")

include(OrvanePackage)
