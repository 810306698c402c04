# Benchmarks of the x11 area; run them on a display, e.g. through tests/x11/run_under_xvfb.sh.
add_executable(x11_window_list_bench x11_window_list_bench.cpp)
target_link_libraries(x11_window_list_bench PRIVATE sortwell_x11 X11::X11 benchmark::benchmark)
