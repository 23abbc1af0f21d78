# The release archive: cmake --build --preset mingw --target package makes
# Tavrel-<version>-win64.zip in the build folder. Its binaries carry no debug
# sections; the build folder keeps the unstripped ones for debugging. The
# stand-ins go to a folder of their own, marked as not for shipping.
set(TAVREL_PACKAGE_ROOT Tavrel-${PROJECT_VERSION}-win64)

install(PROGRAMS $<TARGET_FILE:Tavrel> $<TARGET_FILE:tavrel-host> DESTINATION .)
install(PROGRAMS $<TARGET_FILE:Jorvex> $<TARGET_FILE:Quennet> DESTINATION standins)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
configure_file(${PROJECT_SOURCE_DIR}/packaging/FILES.txt ${CMAKE_BINARY_DIR}/packaging/FILES.txt @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/FILES.txt DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/STANDINS.txt DESTINATION standins RENAME README.txt)
# Debug sections hold the build machine's paths, among much else.
install(CODE "
    file(GLOB_RECURSE binaries \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.exe\")
    foreach(binary \${binaries})
        execute_process(COMMAND ${CMAKE_STRIP} --strip-debug \${binary} COMMAND_ERROR_IS_FATAL ANY)
    endforeach()")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tavrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${TAVREL_PACKAGE_ROOT})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
