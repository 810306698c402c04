# Tests of the x11 area; included by tests/CMakeLists.txt.
find_package(Qt6 REQUIRED COMPONENTS Widgets)

# A window that stands in for another program: a given title, and a record of the keys it got.
add_executable(stand_in_window
    ${CMAKE_SOURCE_DIR}/tools/stand_in_window/main.cpp
    ${CMAKE_SOURCE_DIR}/tools/stand_in_window/key_recorder.cpp)
target_link_libraries(stand_in_window PRIVATE Qt6::Widgets)

# Needs no display: the session rules and the pure helpers.
sortwell_gtest(x11_session_test x11/x11_session_test.cpp)
target_link_libraries(x11_session_test PRIVATE sortwell_x11)

# Needs a display with a window manager: one CTest test that runs the whole suite under Xvfb.
add_executable(x11_host_test
    x11/x11_host_test.cpp
    x11/x11_keyboard_test.cpp
    x11/posix_process_control_test.cpp
    x11/stand_in_process.cpp
    x11/x_probe.cpp)
target_link_libraries(x11_host_test PRIVATE sortwell_x11 X11::X11 GTest::gtest GTest::gtest_main)
target_include_directories(x11_host_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(x11_host_test PRIVATE
    SORTWELL_STAND_IN_WINDOW="$<TARGET_FILE:stand_in_window>")
add_dependencies(x11_host_test stand_in_window)
add_test(NAME x11_host_test
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/x11/run_under_xvfb.sh $<TARGET_FILE:x11_host_test>)
set_tests_properties(x11_host_test PROPERTIES TIMEOUT 300)
