# Tests of the grid area; included by tests/CMakeLists.txt.
