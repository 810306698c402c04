# Tests of the model area; included by tests/CMakeLists.txt.
