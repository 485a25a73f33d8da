# libFuzzer targets for every reader of outside bytes, and one over random export sequences.
# Built with clang when VUMO_FUZZ is on (with AddressSanitizer and UndefinedBehaviorSanitizer);
# each has a seed corpus in tests/fuzz/corpus/<target>. Run one for a while with, for example,
#   build-fuzz/bin/fuzz_shorten -max_total_time=600 tests/fuzz/corpus/fuzz_shorten
function(vumo_fuzz_target name source)
    add_executable(${name} tests/fuzz/${source})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
                                               ${CMAKE_CURRENT_SOURCE_DIR}/app
                                               ${CMAKE_CURRENT_SOURCE_DIR}/engine/api)
    target_link_libraries(${name} PRIVATE ${ARGN})
    list(APPEND VUMO_FUZZ_TARGETS ${name})
    set(VUMO_FUZZ_TARGETS ${VUMO_FUZZ_TARGETS} PARENT_SCOPE)
endfunction()

vumo_fuzz_target(fuzz_wave_loader FuzzWaveLoader.cpp wavorn)
vumo_fuzz_target(fuzz_exports FuzzExports.cpp wavorn)
vumo_fuzz_target(fuzz_project_file FuzzProjectFile.cpp vumo_appcore)
vumo_fuzz_target(fuzz_effect_files FuzzEffectFiles.cpp vumo_app)
vumo_fuzz_target(fuzz_drum_files FuzzDrumFiles.cpp vumo_appcore)
vumo_fuzz_target(fuzz_midi_events FuzzMidiEvents.cpp vumo_platform)
vumo_fuzz_target(fuzz_cabinet_chain FuzzCabinetChain.cpp vumo_cabproject vumo_testwave)
vumo_fuzz_target(fuzz_shorten FuzzShorten.cpp vumo_cabinet)
vumo_fuzz_target(fuzz_cabinet FuzzCabinet.cpp vumo_cabproject)
add_custom_target(fuzz_all DEPENDS ${VUMO_FUZZ_TARGETS})
