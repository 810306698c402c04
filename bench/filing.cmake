# Benchmarks of the filing area; included by bench/CMakeLists.txt.
add_executable(detection_bench ${CMAKE_CURRENT_LIST_DIR}/detection_bench.cpp)
target_link_libraries(detection_bench PRIVATE sortwell_core benchmark::benchmark)
