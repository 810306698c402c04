# Benchmarks of the model area; included by bench/CMakeLists.txt.
add_executable(model_bench ${CMAKE_CURRENT_SOURCE_DIR}/model_bench.cpp)
target_link_libraries(model_bench PRIVATE sortwell_core benchmark::benchmark)
