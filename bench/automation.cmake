# Benchmarks of the automation area; included by bench/CMakeLists.txt.
add_executable(automation_bench ${CMAKE_CURRENT_SOURCE_DIR}/automation_bench.cpp)
target_link_libraries(automation_bench PRIVATE sortwell_core benchmark::benchmark)
