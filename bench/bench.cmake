# Benchmarks (Google Benchmark) of the engine spine; the other areas add their own.
add_executable(bench_spine bench/spine/SpineBench.cpp)
target_link_libraries(bench_spine PRIVATE wavorn_core benchmark::benchmark)
