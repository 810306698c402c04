# Tests of the windows, on the offscreen platform; included by tests/CMakeLists.txt.
if(NOT TARGET sortwell_windows)
    return()
endif()

function(sortwell_window_test name)
    sortwell_qttest(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE sortwell_windows)
endfunction()

sortwell_window_test(desk_settings_test ${CMAKE_CURRENT_SOURCE_DIR}/windows/desk_settings_test.cpp)
sortwell_window_test(desk_grid_test ${CMAKE_CURRENT_SOURCE_DIR}/windows/desk_grid_test.cpp)
sortwell_window_test(desk_tray_test ${CMAKE_CURRENT_SOURCE_DIR}/windows/desk_tray_test.cpp)
sortwell_window_test(desk_filing_test ${CMAKE_CURRENT_SOURCE_DIR}/windows/desk_filing_test.cpp)
sortwell_window_test(runner_test ${CMAKE_CURRENT_SOURCE_DIR}/windows/runner_test.cpp)
sortwell_window_test(config_dialog_test ${CMAKE_CURRENT_SOURCE_DIR}/windows/config_dialog_test.cpp)
sortwell_window_test(edit_button_test ${CMAKE_CURRENT_SOURCE_DIR}/windows/edit_button_test.cpp)
sortwell_window_test(desk_failures_test ${CMAKE_CURRENT_SOURCE_DIR}/windows/desk_failures_test.cpp)
sortwell_window_test(desk_faces_test ${CMAKE_CURRENT_SOURCE_DIR}/windows/desk_faces_test.cpp)
