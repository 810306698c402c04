# Tests of the x11 area; included by tests/CMakeLists.txt.
