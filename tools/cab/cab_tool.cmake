# Project cabinets: the Shorten codec, cabinet files through libgcab, the working files and the
# chain runner (vumo-chain); their tests and benchmark.
pkg_check_modules(GCAB REQUIRED IMPORTED_TARGET libgcab-1.0)

add_library(vumo_cabinet STATIC
    tools/cab/Cabinet.cpp
    tools/cab/CabinetScript.cpp
    tools/cab/ChainRunner.cpp
    tools/cab/FileWrite.cpp
    tools/cab/Shorten.cpp
)
target_include_directories(vumo_cabinet PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vumo_cabinet PUBLIC PkgConfig::GCAB)

add_executable(vumo-chain tools/cab/ChainMain.cpp)
target_link_libraries(vumo-chain PRIVATE vumo_cabinet)

# Round trips, FFmpeg and cabextract reading what Vumo writes, refusals of foreign chains.
add_executable(cabinet_tests tests/tools/cab/CabinetTest.cpp)
target_link_libraries(cabinet_tests PRIVATE vumo_cabinet vumo_testwave GTest::gtest_main)
gtest_discover_tests(cabinet_tests)

if(VUMO_BUILD_BENCH)
    add_executable(bench_cabinet bench/cab/CabinetBench.cpp)
    target_link_libraries(bench_cabinet PRIVATE vumo_cabinet benchmark::benchmark)
endif()
