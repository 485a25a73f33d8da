# The mixer window frmMix and its test.
target_sources(vumo_app PRIVATE app/mixer/frmMix.cpp)
vumo_app_test(tst_mixer tests/app/mixer/MixerTest.cpp)

# Saves the mixer over a made-up project as a PNG (docs/screenshot-mixer.png).
qt_add_executable(vumo_mixer_screenshot app/demo/MixerScreenshotMain.cpp)
target_link_libraries(vumo_mixer_screenshot PRIVATE vumo_app)
