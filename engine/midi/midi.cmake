# MIDI queue and record list: sources of wavorn_core and their tests.
target_sources(wavorn_core PRIVATE engine/midi/Midi.cpp)
