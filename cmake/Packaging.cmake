# The release archive: cmake --build --preset mingw --target package makes
# Tavrel-<version>-win64.zip in the build folder (cmake/make-archive.sh), and
# its SHA-256 beside it. Its binaries carry no debug sections or symbols; the
# build folder keeps the unstripped ones for debugging. The stand-ins go to a
# folder of their own, marked as not for shipping, and are never signed.
#
# -DTAVREL_SIGNING_PFX=FILE signs Tavrel.dll and tavrel-host.exe in the
# archive; the file's password comes from TAVREL_SIGNING_PASSWORD in the
# environment of the build, so that it is neither in the cache nor on a
# command line.
set(TAVREL_SIGNING_PFX "" CACHE FILEPATH "PKCS#12 file of the Authenticode certificate and key that sign the release; empty: unsigned")
set(TAVREL_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamping server for the release's signatures; empty: none")

# The archive's inputs after its output folder, for the package target and
# for tests that make an archive of their own from the same binaries.
set(TAVREL_ARCHIVE_INPUTS
    ${PROJECT_SOURCE_DIR} ${PROJECT_VERSION} ${CMAKE_STRIP}
    $<TARGET_FILE:Tavrel> $<TARGET_FILE:tavrel-host> $<TARGET_FILE:Jorvex> $<TARGET_FILE:Quennet>)

set(signing "")
if(TAVREL_SIGNING_PFX)
    find_program(TAVREL_OSSLSIGNCODE osslsigncode REQUIRED)
    set(signing --sign ${TAVREL_SIGNING_PFX})
    if(TAVREL_TIMESTAMP_URL)
        list(APPEND signing --timestamp ${TAVREL_TIMESTAMP_URL})
    endif()
endif()

# CPack made the archive before; its configuration left in an older build
# folder would keep the name "package" reserved.
file(REMOVE ${CMAKE_BINARY_DIR}/CPackConfig.cmake ${CMAKE_BINARY_DIR}/CPackSourceConfig.cmake)
add_custom_target(package
    COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/make-archive.sh ${CMAKE_BINARY_DIR} ${TAVREL_ARCHIVE_INPUTS} ${signing}
    VERBATIM)
add_dependencies(package Tavrel tavrel-host Jorvex Quennet)
