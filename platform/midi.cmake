# MIDI output and input (rtmidi, built-in synth and virtual backends) and the periodic timer of
# the device layer. FluidSynth lives in the built-in synth's module, libvumo-synth.so, loaded
# the first time the synth plays or renders a MIDI file.
pkg_check_modules(RTMIDI REQUIRED IMPORTED_TARGET rtmidi)
pkg_check_modules(FLUIDSYNTH REQUIRED IMPORTED_TARGET fluidsynth)

target_sources(vumo_platform PRIVATE
    platform/MidiBackend.cpp
    platform/PeriodicTimer.cpp
    platform/rtmidi/RtMidiDevices.cpp
    platform/synth/SoundFont.cpp
    platform/synth/SynthMidiOut.cpp
    platform/synth/SynthModule.cpp
    platform/virtual/VirtualMidiIn.cpp
    platform/virtual/VirtualMidiOut.cpp
)
target_link_libraries(vumo_platform PRIVATE PkgConfig::RTMIDI)

vumo_platform_module(vumo-synth platform/synth/FluidSynthModule.cpp)
target_link_libraries(vumo-synth PRIVATE PkgConfig::FLUIDSYNTH)

add_executable(midi_device_tests tests/platform/MidiDevicesTest.cpp)
target_link_libraries(midi_device_tests PRIVATE vumo_platform vumo_testwave PkgConfig::RTMIDI
    GTest::gtest_main)
gtest_discover_tests(midi_device_tests PROPERTIES RESOURCE_LOCK sound_servers)

if(VUMO_BUILD_BENCH)
    # The built-in synth's timing on the virtual clock (not a test: run it by hand, figures in
    # bench/synth/results.md).
    add_executable(synth_timing bench/synth/SynthTimingMain.cpp)
    target_link_libraries(synth_timing PRIVATE vumo_platform)
endif()
