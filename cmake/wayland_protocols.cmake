# Client code for Wayland protocols that Debian packages no definitions of: each XML file is
# turned into a header and its C code in `generated`, and the files are added to `sources`.
enable_language(C)
function(sortwell_wayland_protocols sources generated)
    find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
    file(MAKE_DIRECTORY ${generated})
    set(files)
    foreach(xml ${ARGN})
        get_filename_component(protocol ${xml} NAME_WE)
        add_custom_command(
            OUTPUT ${generated}/${protocol}-client-protocol.h ${generated}/${protocol}-protocol.c
            COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${generated}/${protocol}-client-protocol.h
            COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${generated}/${protocol}-protocol.c
            DEPENDS ${xml}
            VERBATIM)
        list(APPEND files ${generated}/${protocol}-client-protocol.h ${generated}/${protocol}-protocol.c)
    endforeach()
    # The generated C code is not held to the project's warnings.
    set_source_files_properties(${files} PROPERTIES COMPILE_OPTIONS "-w")
    set(${sources} ${files} PARENT_SCOPE)
endfunction()
