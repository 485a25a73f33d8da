# Command-line programs over the engine's exports.
add_executable(vumo-play tools/play/VumoPlay.cpp)
target_link_libraries(vumo-play PRIVATE wavorn vumo_platform)

# vumo-play run end to end on the virtual device.
add_executable(play_tool_tests tests/tools/play/VumoPlayTest.cpp)
target_include_directories(play_tool_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(play_tool_tests PRIVATE vumo_testwave GTest::gtest_main)
target_compile_definitions(play_tool_tests PRIVATE VUMO_PLAY_PROGRAM="$<TARGET_FILE:vumo-play>")
add_dependencies(play_tool_tests vumo-play)
gtest_discover_tests(play_tool_tests)
