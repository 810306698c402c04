# Tests of the model area; included by tests/CMakeLists.txt.
sortwell_gtest(settings_model_test ${CMAKE_CURRENT_SOURCE_DIR}/desk/settings_model_test.cpp)
