# The drum editor window frmDrums over the drum data model, and its test.
target_sources(vumo_app PRIVATE app/drums/frmDrums.cpp)
vumo_app_test(tst_drumeditor tests/app/drums/DrumEditorTest.cpp)

# Saves the drum editor with a programmed pattern as a PNG (docs/screenshot-drums.png).
qt_add_executable(vumo_drums_screenshot app/demo/DrumsScreenshotMain.cpp)
target_link_libraries(vumo_drums_screenshot PRIVATE vumo_app_testsupport)

# Times the editor's opening and a beat bar's repaint (not a test: figures in
# bench/drums/results.md).
qt_add_executable(vumo_drums_timing bench/drums/DrumsTimingMain.cpp)
target_link_libraries(vumo_drums_timing PRIVATE vumo_app_testsupport)

# The drum song through the real engine and the rtmidi backend to a JACK MIDI port of
# tests/servers.sh, without the window.
add_executable(drum_jack_tests tests/platform/DrumJackTest.cpp app/drums/DrumData.cpp)
target_include_directories(drum_jack_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/app)
target_link_libraries(drum_jack_tests PRIVATE wavorn vumo_platform PkgConfig::RTMIDI Qt6::Core
    GTest::gtest_main)
# It runs alone: on a machine loaded by other tests the dummy JACK driver can skip the peer's
# process cycle, and the MIDI sent in that cycle is lost (seen twice at a load of 7 on 2 cores).
gtest_discover_tests(drum_jack_tests PROPERTIES ${VUMO_DEVICE_TEST_PROPERTIES} RUN_SERIAL TRUE)
