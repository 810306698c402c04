# Sources of the x11 area; included after sortwell_core is defined.
# The X11 host operations form a library of their own, so that sortwell_core links no X11.
# The fuzz build instruments only the parsers of the core and needs none of it.
if(SORTWELL_BUILD_FUZZERS)
    return()
endif()

find_package(X11 REQUIRED COMPONENTS Xtst XRes xkbcommon)

add_library(sortwell_x11 STATIC
    ${CMAKE_SOURCE_DIR}/platform/linux/x11/x11_session.cpp
    ${CMAKE_SOURCE_DIR}/platform/linux/x11/x11_connection.cpp
    ${CMAKE_SOURCE_DIR}/platform/linux/x11/x11_error_trap.cpp
    ${CMAKE_SOURCE_DIR}/platform/linux/x11/x11_window_property.cpp
    ${CMAKE_SOURCE_DIR}/platform/linux/x11/x11_window_reader.cpp
    ${CMAKE_SOURCE_DIR}/platform/linux/x11/x11_window_system.cpp
    ${CMAKE_SOURCE_DIR}/platform/linux/x11/x11_keymap.cpp
    ${CMAKE_SOURCE_DIR}/platform/linux/x11/x11_key_strokes.cpp
    ${CMAKE_SOURCE_DIR}/platform/linux/x11/x11_keyboard.cpp
    ${CMAKE_SOURCE_DIR}/platform/linux/posix_process_control.cpp
)
target_link_libraries(sortwell_x11
    PUBLIC sortwell_core
    PRIVATE X11::X11 X11::Xtst X11::XRes X11::xkbcommon)
