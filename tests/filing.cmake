# Tests of the filing area; included by tests/CMakeLists.txt.
