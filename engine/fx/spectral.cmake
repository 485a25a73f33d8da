# Spectral effects and FilterGraph: sources of wavorn_core and their tests.
target_sources(wavorn_core PRIVATE engine/fx/FilterGraph.cpp engine/fx/Spectral.cpp)
