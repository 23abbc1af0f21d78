# tavrel_add_delay_import(NAME DEF DLL)
# An INTERFACE target NAME that links a platform library as a delay-load
# import library made from its .def file, for programs that must say where
# the DLL is found before its first call (tavrel-host looks in a stand-ins
# folder beside itself). The DLL target of the same base name is built too.
find_program(TAVREL_DLLTOOL ${MINGW_TRIPLET}-dlltool REQUIRED)

function(tavrel_add_delay_import name def dll_target)
    set(library ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/lib${name}.a)
    file(MAKE_DIRECTORY ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY})
    # dlltool names the library's symbols (__DELAY_IMPORT_DESCRIPTOR_...) after
    # the output path as given; a bare file name keeps the build folder's path
    # out of every program that links it.
    add_custom_command(OUTPUT ${library}
        COMMAND ${TAVREL_DLLTOOL} --input-def ${def} --dllname ${dll_target}.dll --output-delaylib lib${name}.a
        WORKING_DIRECTORY ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}
        DEPENDS ${def}
        COMMENT "Delay-load import library for ${dll_target}.dll")
    add_custom_target(${name}Library DEPENDS ${library})
    add_library(${name} INTERFACE)
    add_dependencies(${name} ${name}Library ${dll_target})
    target_include_directories(${name} INTERFACE $<TARGET_PROPERTY:${dll_target},INTERFACE_INCLUDE_DIRECTORIES>)
    target_link_libraries(${name} INTERFACE ${library} delayimp)
endfunction()
