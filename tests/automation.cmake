# Tests of the automation area; included by tests/CMakeLists.txt.
