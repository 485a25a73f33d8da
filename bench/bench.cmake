# Benchmarks (Google Benchmark) of the engine spine; the other areas add their own.
add_executable(bench_spine bench/spine/SpineBench.cpp)
target_link_libraries(bench_spine PRIVATE wavorn_core benchmark::benchmark)

# Shorten and a cabinet of 8 tracks made and opened through the chain runner.
add_executable(bench_cabinet bench/cab/CabinetBench.cpp)
target_link_libraries(bench_cabinet PRIVATE vumo_core benchmark::benchmark)
# vumo-fx file to file against SoX and ffmpeg in the same run (figures in bench/fx-results.md).
add_executable(fx_compare bench/fx/FxCompare.cpp)
add_dependencies(fx_compare vumo-fx)
