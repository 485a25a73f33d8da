# Time-domain effects: sources of wavorn_core and their tests.
target_sources(wavorn_core PRIVATE engine/fx/FxProcessor.cpp)
