# Tests of the filing area; included by tests/CMakeLists.txt.
sortwell_gtest(filing_test desk/filing_test.cpp)
sortwell_gtest(detection_test desk/detection_test.cpp)
sortwell_gtest(posix_document_files_test platform/posix_document_files_test.cpp)
sortwell_gtest(freedesktop_trash_test platform/freedesktop_trash_test.cpp)
