# Time-domain effects and the effect processor: sources of wavorn_core, their tests and
# benchmarks.
target_sources(wavorn_core PRIVATE
    engine/fx/FxProcessor.cpp
    engine/fx/FxTable.cpp
    engine/fx/Level.cpp
    engine/fx/Oscillators.cpp
    engine/fx/Echo.cpp
    engine/fx/FrameOps.cpp
    engine/fx/BandPass.cpp
    engine/fx/MovingAverage.cpp
    engine/fx/Chorus.cpp
    engine/fx/PhaseSweep.cpp
    engine/fx/GrainPitch.cpp
    engine/fx/Resonator.cpp
    engine/fx/LevelFollow.cpp
    engine/fx/NoteEffects.cpp
)
# The hot loops exist in several builds (VUMO_FX_CLONES); without contraction into fused
# multiply-adds every build rounds alike, so results do not depend on the processor.
set_source_files_properties(
    engine/fx/Level.cpp engine/fx/Oscillators.cpp engine/fx/Echo.cpp engine/fx/FrameOps.cpp
    engine/fx/BandPass.cpp engine/fx/MovingAverage.cpp engine/fx/Chorus.cpp engine/fx/PhaseSweep.cpp
    engine/fx/GrainPitch.cpp engine/fx/Resonator.cpp engine/fx/LevelFollow.cpp
    engine/fx/NoteEffects.cpp
    PROPERTIES COMPILE_OPTIONS -ffp-contract=off)

# Unit tests of the effects over hand-made buffers (wavorn_core).
add_executable(fx_tests tests/engine/fx/EffectsTest.cpp)
target_link_libraries(fx_tests PRIVATE wavorn_core GTest::gtest_main)
gtest_discover_tests(fx_tests)

if(VUMO_BUILD_BENCH)
    add_executable(fx_bench bench/fx/FxBench.cpp)
    target_link_libraries(fx_bench PRIVATE wavorn_core benchmark::benchmark)
endif()

# Digests of every effect's output, to compare two builds sample for sample.
if(VUMO_BUILD_BENCH)
    add_executable(fx_digest bench/fx/FxDigest.cpp)
    target_link_libraries(fx_digest PRIVATE wavorn_core vumo_fxcatalog)
endif()
# Every effect code's samples over its signals, parameter sets and ranges, digested, against the
# digest of the reviewed build: one sample changed anywhere fails (the effect tests allow the
# spectral effects a tolerance; this does not).
if(VUMO_BUILD_BENCH)
    add_test(NAME fx_samples_unchanged COMMAND fx_digest)
    set_tests_properties(fx_samples_unchanged PROPERTIES
                         PASS_REGULAR_EXPRESSION "\nall 5efcfbc81bc66cc4\n")
endif()
