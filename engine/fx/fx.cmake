# Time-domain effects and the effect processor: sources of wavorn_core, their tests and
# benchmarks.

# The sources (engine/fx/<Source>.cpp) and tests (tests/engine/fx/<Source>Test.cpp, where one
# exists) of the effects that rows of Effects.def of the given kind name, so that a new effect
# needs its row and no line here. Editing Effects.def runs CMake again.
function(vumo_effect_files kind out_sources out_tests)
    set(def ${CMAKE_CURRENT_SOURCE_DIR}/engine/fx/Effects.def)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
    file(STRINGS ${def} rows REGEX "^${kind}\\(")
    set(sources)
    set(tests)
    foreach(row IN LISTS rows)
        if(NOT row MATCHES "^${kind}\\([0-9]+, *[A-Za-z_0-9]+, *([A-Za-z_0-9]+),")
            message(FATAL_ERROR "Effects.def: no code, function and Source in '${row}'")
        endif()
        list(APPEND sources engine/fx/${CMAKE_MATCH_1}.cpp)
        if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tests/engine/fx/${CMAKE_MATCH_1}Test.cpp)
            list(APPEND tests tests/engine/fx/${CMAKE_MATCH_1}Test.cpp)
        endif()
    endforeach()
    list(REMOVE_DUPLICATES sources)
    list(REMOVE_DUPLICATES tests)
    set(${out_sources} ${sources} PARENT_SCOPE)
    set(${out_tests} ${tests} PARENT_SCOPE)
endfunction()

vumo_effect_files(VUMO_EFFECT fx_sources fx_test_sources)
target_sources(wavorn_core PRIVATE
    engine/fx/FxProcessor.cpp
    engine/fx/FxTable.cpp
    engine/fx/PhaseSweep.cpp
    ${fx_sources}
)
# The hot loops exist in several builds (VUMO_FX_CLONES); without contraction into fused
# multiply-adds every build rounds alike, so results do not depend on the processor.
set_source_files_properties(engine/fx/PhaseSweep.cpp ${fx_sources}
                            PROPERTIES COMPILE_OPTIONS -ffp-contract=off)

# Unit tests of the effects over hand-made buffers (wavorn_core).
add_executable(fx_tests tests/engine/fx/EffectsTest.cpp ${fx_test_sources})
target_link_libraries(fx_tests PRIVATE wavorn_core GTest::gtest_main)
gtest_discover_tests(fx_tests)

if(VUMO_BUILD_BENCH)
    add_executable(fx_bench bench/fx/FxBench.cpp)
    target_link_libraries(fx_bench PRIVATE wavorn_core benchmark::benchmark)
endif()

# Digests of every effect's output, to compare two builds sample for sample (also in the Windows
# build, which tests/windows/run.sh compares with the Linux build's).
if(VUMO_BUILD_BENCH OR WIN32)
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
