# Whole-program measurements: start-up, idle cost and filing of large files, each beside a
# floor. The scripts in bench/system/ drive these tools; see their headers for how to run them.
find_package(Qt6 REQUIRED COMPONENTS Widgets)

add_executable(minimal_window ${CMAKE_CURRENT_LIST_DIR}/system/minimal_window.cpp)
target_link_libraries(minimal_window PRIVATE Qt6::Widgets)

add_executable(launch_and_measure ${CMAKE_CURRENT_LIST_DIR}/system/launch_and_measure.cpp)
target_link_libraries(launch_and_measure PRIVATE X11::X11)

add_executable(move_document ${CMAKE_CURRENT_LIST_DIR}/system/move_document.cpp)
target_link_libraries(move_document PRIVATE sortwell_core)
