# The headless cabinet tools over the core: vumo-cab packs and opens project cabinets, and
# vumo-chain runs a cabinet chain for the studio, which starts it beside itself.
add_executable(vumo-chain tools/cab/ChainMain.cpp)
target_link_libraries(vumo-chain PRIVATE vumo_core)

add_executable(vumo-cab tools/cab/CabMain.cpp)
target_include_directories(vumo-cab PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vumo-cab PRIVATE vumo_core)

# vumo-cab and vumo-mix end to end, and cabinets from strangers opened by vumo-cab.
add_executable(project_tool_tests tests/tools/cab/ProjectToolsTest.cpp
                                  tests/tools/cab/HostileCabinetTest.cpp)
target_link_libraries(project_tool_tests PRIVATE vumo_core vumo_testwave wavorn GTest::gtest_main)
target_compile_definitions(project_tool_tests PRIVATE
    VUMO_CAB_PROGRAM="$<TARGET_FILE:vumo-cab>" VUMO_MIX_PROGRAM="$<TARGET_FILE:vumo-mix>")
add_dependencies(project_tool_tests vumo-cab vumo-mix)
gtest_discover_tests(project_tool_tests)
