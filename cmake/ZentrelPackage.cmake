# The CMake package a host finds with find_package(ZentrelSDK CONFIG): ZentrelSDK::ZentrelSDK,
# ZentrelSDK::Platform and ZentrelSDK::Testing.
include(CMakePackageConfigHelpers)
set(ZT_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZentrelSDK)
install(EXPORT ZentrelSDKTargets NAMESPACE ZentrelSDK:: DESTINATION ${ZT_PACKAGE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ZentrelSDKConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/ZentrelSDKConfig.cmake INSTALL_DESTINATION ${ZT_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/ZentrelSDKConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ZentrelSDKConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/ZentrelSDKConfigVersion.cmake DESTINATION ${ZT_PACKAGE_DIR})
