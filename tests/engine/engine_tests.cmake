# Engine spine tests: unit tests over wavorn_core, and export-level tests through libwavorn.
add_library(vumo_testwave STATIC tests/engine/TestWave.cpp)
target_include_directories(vumo_testwave PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vumo_testwave PUBLIC vumo_waveheader)
if(WIN32)
    # setenv and unsetenv, which the C runtime there lacks, for every test source.
    target_compile_options(vumo_testwave PUBLIC
        -include ${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/PosixShim.h)
endif()

add_executable(engine_unit_tests tests/engine/wave/WaveFileTest.cpp)
target_link_libraries(engine_unit_tests PRIVATE wavorn_core vumo_testwave GTest::gtest_main)
gtest_discover_tests(engine_unit_tests DISCOVERY_TIMEOUT 60)

# Through the shared library: one engine per process, the virtual devices.
add_executable(engine_export_tests
    tests/engine/api/ExportsTest.cpp
    tests/engine/transport/TransportTest.cpp
)
if(NOT WIN32)
    # Full disks and file size limits: a small mounted file system and setrlimit.
    target_sources(engine_export_tests PRIVATE tests/engine/api/WriteFaultTest.cpp)
endif()
target_link_libraries(engine_export_tests PRIVATE wavorn vumo_testwave GTest::gtest_main
    Threads::Threads)
gtest_discover_tests(engine_export_tests DISCOVERY_TIMEOUT 60)

if(NOT WIN32)
    # The engine loaded by its path from a folder whose modules do not load, with working ones in
    # the current folder and beside this program.
    add_executable(engine_module_tests tests/engine/api/ModuleLoadTest.cpp)
    target_include_directories(engine_module_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/engine/api)
    target_link_libraries(engine_module_tests PRIVATE vumo_testwave ${CMAKE_DL_LIBS}
        GTest::gtest_main)
    target_compile_definitions(engine_module_tests PRIVATE
        VUMO_ENGINE_LIBRARY="$<TARGET_FILE:wavorn>"
        VUMO_MEDIA_MODULE="$<TARGET_FILE:vumo-media>"
        VUMO_SYNTH_MODULE="$<TARGET_FILE:vumo-synth>")
    add_dependencies(engine_module_tests wavorn vumo-media vumo-synth)
    gtest_discover_tests(engine_module_tests)
endif()
