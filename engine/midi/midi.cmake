# MIDI queue and record list: sources of wavorn_core and their tests.
target_sources(wavorn_core PRIVATE
    engine/midi/MidiDevices.cpp
    engine/midi/MidiQueue.cpp
    engine/midi/MidiRecord.cpp
)

# Unit tests over wavorn_core, with stand-in devices and a timer ticked by hand.
add_executable(midi_tests tests/engine/midi/MidiTest.cpp)
target_link_libraries(midi_tests PRIVATE wavorn_core vumo_testwave GTest::gtest_main)
gtest_discover_tests(midi_tests)
