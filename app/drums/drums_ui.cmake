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
