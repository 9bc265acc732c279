# The portable archive of the program folder (cpack in the build folder): the two executables,
# config/ with the installation data and projects/ with the demo project, in one top folder that
# runs where it is unpacked on a Debian 12 machine with Qt 6 installed from Debian (the Qt libraries
# are not part of it).
install(TARGETS varuno-builder varuno-cli RUNTIME DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION config)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/demo/ DESTINATION projects)
install(FILES ${PROJECT_SOURCE_DIR}/src/ui/icons/logo.svg DESTINATION . RENAME varuno-builder.svg)

set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_NAME varuno-builder)
set(CPACK_PACKAGE_VENDOR "Varuno")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Varuno Builder: openHAB configuration for BTicino MyHome")
set(CPACK_PACKAGE_FILE_NAME "varuno-builder-${PROJECT_VERSION}-debian12-${CMAKE_SYSTEM_PROCESSOR}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
