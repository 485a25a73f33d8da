# Project cabinets: the Shorten codec the cabinet chain compresses tracks with; its tests.
add_library(vumo_cabinet STATIC tools/cab/Shorten.cpp)
target_include_directories(vumo_cabinet PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

# Round trips, refusals of bad streams, and FFmpeg's decoder reading what the encoder writes.
add_executable(cabinet_tests tests/tools/cab/ShortenTest.cpp)
target_link_libraries(cabinet_tests PRIVATE vumo_cabinet vumo_testwave GTest::gtest_main)
gtest_discover_tests(cabinet_tests)

if(VUMO_BUILD_BENCH)
    add_executable(bench_shorten bench/cab/ShortenBench.cpp)
    target_link_libraries(bench_shorten PRIVATE vumo_cabinet benchmark::benchmark)
endif()
