# Project cabinets: the Shorten codec, cabinet files through libgcab, the working files and the
# chain runner; their tests and benchmark. The runner's program vumo-chain needs the project
# reader of the studio's core (tools/cab/cab_project.cmake).
pkg_check_modules(GCAB REQUIRED IMPORTED_TARGET libgcab-1.0)

add_library(vumo_cabinet STATIC
    tools/cab/Cabinet.cpp
    tools/cab/CabinetOpen.cpp
    tools/cab/CabinetScript.cpp
    tools/cab/ChainRunner.cpp
    tools/cab/FileWrite.cpp
    tools/cab/RestoreTargets.cpp
    tools/cab/Shorten.cpp
    tools/cab/ShortenFile.cpp
)
target_include_directories(vumo_cabinet PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vumo_cabinet PUBLIC PkgConfig::GCAB vumo_files)

# Round trips, FFmpeg and cabextract reading what Vumo writes, refusals of foreign chain lines.
add_executable(cabinet_tests tests/tools/cab/CabinetTest.cpp)
target_link_libraries(cabinet_tests PRIVATE vumo_cabinet vumo_testwave GTest::gtest_main)
gtest_discover_tests(cabinet_tests)
