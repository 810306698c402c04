# The whole program under a real X server; included by tests/CMakeLists.txt.
if(NOT TARGET sortwell)
    return()
endif()

# A stand-in for the scanner program that the default automation script drives.
add_executable(stand_in_scanner
    ${CMAKE_SOURCE_DIR}/tools/stand_in_scanner/main.cpp
    ${CMAKE_SOURCE_DIR}/tools/stand_in_scanner/scanner_window.cpp
    ${CMAKE_SOURCE_DIR}/tools/stand_in_scanner/one_page_pdf.cpp)
target_link_libraries(stand_in_scanner PRIVATE Qt6::Widgets)
set_target_properties(stand_in_scanner PROPERTIES AUTOMOC ON)

add_test(NAME scan_to_archive
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/x11/run_under_xvfb.sh
            ${CMAKE_CURRENT_SOURCE_DIR}/acceptance/scan_to_archive.sh
            $<TARGET_FILE:sortwell> $<TARGET_FILE:stand_in_scanner>
            ${CMAKE_BINARY_DIR}/acceptance)
set_tests_properties(scan_to_archive PROPERTIES TIMEOUT 240)

add_test(NAME failure_paths
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/x11/run_under_xvfb.sh
            ${CMAKE_CURRENT_SOURCE_DIR}/acceptance/failure_paths.sh
            $<TARGET_FILE:sortwell> $<TARGET_FILE:stand_in_scanner>
            ${CMAKE_BINARY_DIR}/acceptance-failure-paths)
set_tests_properties(failure_paths PROPERTIES TIMEOUT 240)
