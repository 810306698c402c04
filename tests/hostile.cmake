# Tests of hostile inputs across the core; included by tests/CMakeLists.txt.
sortwell_gtest(hostile_inputs_test ${CMAKE_CURRENT_SOURCE_DIR}/hostile/hostile_inputs_test.cpp)
