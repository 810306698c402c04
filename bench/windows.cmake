# Benchmarks of the windows; included by bench/CMakeLists.txt.
if(NOT TARGET sortwell_windows)
    return()
endif()

add_executable(desk_grid_bench ${CMAKE_CURRENT_SOURCE_DIR}/desk_grid_bench.cpp)
target_link_libraries(desk_grid_bench PRIVATE sortwell_windows benchmark::benchmark)
target_include_directories(desk_grid_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
