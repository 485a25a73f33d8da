# Spectral effects and FilterGraph: sources of wavorn_core, their tests and benchmarks. The
# spectral rows of Effects.def name the sources of the effects' own operations.
vumo_effect_files(VUMO_SPECTRAL_EFFECT spectral_fx_sources spectral_fx_test_sources)
target_sources(wavorn_core PRIVATE
    engine/fx/Fft.cpp
    engine/fx/SnapToScale.cpp
    ${spectral_fx_sources}
    engine/fx/PhaseVocoder.cpp
    engine/fx/Spectral.cpp
    engine/fx/FilterGraph.cpp
)
# As for the time-domain effects (fx.cmake): no contraction into fused multiply-adds, so the
# per-processor builds of the loops round alike. Square roots set no errno and no operation is
# taken to trap, which lets loops with roots and chosen values run a vector at a time; neither
# changes a single result (no reassociation, signed zeros and NaNs kept).
set_source_files_properties(
    engine/fx/Fft.cpp engine/fx/PhaseVocoder.cpp ${spectral_fx_sources}
    PROPERTIES COMPILE_OPTIONS "-ffp-contract=off;-fno-math-errno;-fno-trapping-math")

# Unit tests over wavorn_core: the transforms, the bin rules, the vocoder over plain spans and
# mix back.
add_executable(spectral_tests tests/engine/fx/SpectralTest.cpp ${spectral_fx_test_sources})
target_link_libraries(spectral_tests PRIVATE wavorn_core GTest::gtest_main)
gtest_discover_tests(spectral_tests DISCOVERY_TIMEOUT 60)

# Through the shared library on the virtual devices: FXIt (with the effect catalog's FFT codes)
# and FilterGraph.
add_executable(spectral_export_tests tests/engine/fx/SpectralExportTest.cpp)
include(core/fx/fx_catalog.cmake)
target_link_libraries(spectral_export_tests PRIVATE wavorn vumo_fxcatalog vumo_testwave
                      GTest::gtest_main)
gtest_discover_tests(spectral_export_tests DISCOVERY_TIMEOUT 60)

if(VUMO_BUILD_BENCH)
    add_executable(bench_spectral bench/spectral/SpectralBench.cpp)
    target_link_libraries(bench_spectral PRIVATE wavorn_core benchmark::benchmark)
endif()
