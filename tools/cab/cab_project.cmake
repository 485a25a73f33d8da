# The project side of cabinets (shared by the studio and vumo-cab) and the headless project
# tools vumo-cab and vumo-mix, with their end-to-end tests. Needs the studio's core.
add_library(vumo_cabproject STATIC tools/cab/ProjectCabinet.cpp)
target_link_libraries(vumo_cabproject PUBLIC vumo_cabinet vumo_appcore)

add_executable(vumo-chain tools/cab/ChainMain.cpp)
target_link_libraries(vumo-chain PRIVATE vumo_cabproject)

add_executable(vumo-cab tools/cab/CabMain.cpp)
target_link_libraries(vumo-cab PRIVATE vumo_cabproject vumo_app)

add_executable(vumo-mix tools/mix/MixMain.cpp)
target_link_libraries(vumo-mix PRIVATE vumo_appcore wavorn)
target_include_directories(vumo-mix PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})

add_executable(project_tool_tests tests/tools/cab/ProjectToolsTest.cpp
                                  tests/tools/cab/HostileCabinetTest.cpp)
target_link_libraries(project_tool_tests PRIVATE vumo_cabproject vumo_testwave wavorn
                                                 GTest::gtest_main)
target_compile_definitions(project_tool_tests PRIVATE
    VUMO_CAB_PROGRAM="$<TARGET_FILE:vumo-cab>" VUMO_MIX_PROGRAM="$<TARGET_FILE:vumo-mix>")
add_dependencies(project_tool_tests vumo-cab vumo-mix)
add_dependencies(tst_wiredcommands vumo-mix) # its mixdown is compared with vumo-mix's
gtest_discover_tests(project_tool_tests)

# The studio's cabinet commands and the chain window; the studio starts vumo-chain beside it.
target_sources(vumo_app PRIVATE
    app/dialogs/FrmChain.h
    app/dialogs/FrmChain.cpp
    app/commands/CabinetCommands.cpp
)
target_link_libraries(vumo_app PUBLIC vumo_cabproject)
add_dependencies(Vumo vumo-chain)
vumo_app_test(tst_cabinetcommands tests/app/project/CabinetCommandsTest.cpp)
add_dependencies(tst_cabinetcommands vumo-chain)

# The studio's write-fault table also covers the effect, chain and cabinet writers.
target_link_libraries(tst_writefaults PRIVATE vumo_app vumo_cabinet)

# Runs a cabinet chain in the chain window and saves it as a PNG (docs/screenshot-chain.png).
qt_add_executable(vumo_chain_screenshot app/demo/ChainScreenshotMain.cpp)
target_link_libraries(vumo_chain_screenshot PRIVATE vumo_app_testsupport)
add_dependencies(vumo_chain_screenshot vumo-chain)

# Shorten and a cabinet of 8 tracks made and opened through the chain runner (not a test).
if(VUMO_BUILD_BENCH)
    add_executable(bench_cabinet bench/cab/CabinetBench.cpp)
    target_link_libraries(bench_cabinet PRIVATE vumo_cabproject benchmark::benchmark)
endif()
