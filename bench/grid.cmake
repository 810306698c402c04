# Benchmarks of the grid area; included by bench/CMakeLists.txt.
add_executable(grid_bench ${CMAKE_CURRENT_SOURCE_DIR}/grid_bench.cpp)
target_link_libraries(grid_bench PRIVATE sortwell_core benchmark::benchmark)
