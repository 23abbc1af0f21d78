# The release archive: cmake --build --preset mingw --target package makes
# Tavrel-<version>-win64.zip in the build folder (cmake/make-archive.sh), and
# its SHA-256 beside it. Its binaries carry no debug sections or symbols; the
# build folder keeps the unstripped ones for debugging. The stand-ins go to a
# folder of their own, marked as not for shipping.

# The archive's inputs after its output folder.
set(TAVREL_ARCHIVE_INPUTS
    ${PROJECT_SOURCE_DIR} ${PROJECT_VERSION} ${CMAKE_STRIP}
    $<TARGET_FILE:Tavrel> $<TARGET_FILE:tavrel-host> $<TARGET_FILE:Jorvex> $<TARGET_FILE:Quennet>)

# CPack made the archive before; its configuration left in an older build
# folder would keep the name "package" reserved.
file(REMOVE ${CMAKE_BINARY_DIR}/CPackConfig.cmake ${CMAKE_BINARY_DIR}/CPackSourceConfig.cmake)
add_custom_target(package
    COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/make-archive.sh ${CMAKE_BINARY_DIR} ${TAVREL_ARCHIVE_INPUTS}
    VERBATIM)
add_dependencies(package Tavrel tavrel-host Jorvex Quennet)
