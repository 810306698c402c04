# Tests of the grid area; included by tests/CMakeLists.txt.
sortwell_gtest(button_grid_test ${CMAKE_CURRENT_SOURCE_DIR}/desk/button_grid_test.cpp)
sortwell_gtest(hide_list_test ${CMAKE_CURRENT_SOURCE_DIR}/config/hide_list_test.cpp)
sortwell_gtest(date_entry_test ${CMAKE_CURRENT_SOURCE_DIR}/desk/date_entry_test.cpp)
