# Tests of the automation area; included by tests/CMakeLists.txt.
sortwell_gtest(sequence_language_test ${CMAKE_CURRENT_SOURCE_DIR}/config/sequence_language_test.cpp)
sortwell_gtest(sequence_step_test ${CMAKE_CURRENT_SOURCE_DIR}/config/sequence_step_test.cpp)
sortwell_gtest(type_text_test ${CMAKE_CURRENT_SOURCE_DIR}/config/type_text_test.cpp)
sortwell_gtest(window_list_test ${CMAKE_CURRENT_SOURCE_DIR}/config/window_list_test.cpp)
