# Command-line programs over the engine's exports.
add_executable(vumo-play tools/play/VumoPlay.cpp)
target_link_libraries(vumo-play PRIVATE wavorn vumo_platform)

# vumo-play run end to end on the virtual device (through the shell: on Windows
# tests/windows/run.sh runs vumo-play.exe instead).
if(NOT WIN32)
    add_executable(play_tool_tests tests/tools/play/VumoPlayTest.cpp)
    target_include_directories(play_tool_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(play_tool_tests PRIVATE vumo_testwave GTest::gtest_main)
    target_compile_definitions(play_tool_tests PRIVATE
        VUMO_PLAY_PROGRAM="$<TARGET_FILE:vumo-play>")
    add_dependencies(play_tool_tests vumo-play)
    gtest_discover_tests(play_tool_tests)
endif()

# The tools' files end to end: special files refused at once, a file size limit reported as a
# failed write with no part left (vumo-mix needs the studio's core).
if(VUMO_BUILD_APP)
    add_executable(tool_files_tests tests/tools/ToolFilesTest.cpp)
    target_link_libraries(tool_files_tests PRIVATE vumo_appcore vumo_testwave GTest::gtest_main)
    target_compile_definitions(tool_files_tests PRIVATE
        VUMO_FX_PROGRAM="$<TARGET_FILE:vumo-fx>" VUMO_MIX_PROGRAM="$<TARGET_FILE:vumo-mix>")
    add_dependencies(tool_files_tests vumo-fx vumo-mix)
    gtest_discover_tests(tool_files_tests)
endif()
