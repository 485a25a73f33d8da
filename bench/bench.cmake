# Benchmarks (Google Benchmark).
