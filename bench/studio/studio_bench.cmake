# The studio's timing programs over the real window and engine, with the tests' scripted answers
# (not tests: run them by hand; their figures are in bench/README.md and beside each area).
function(vumo_studio_timing name source)
    qt_add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE vumo_app_testsupport)
    if(TARGET wavorn)
        add_dependencies(${name} wavorn)
    endif()
endfunction()

# A track switch and a project opening in a project of 16 tracks of 4 MB beside a plain read of
# the same files.
vumo_studio_timing(vumo_switch_timing bench/studio/SwitchTimingMain.cpp)
# How long Rip MCI takes against the media's length and SK1 Mode takes to render 500 notes
# (figures in bench/media/results.md).
vumo_studio_timing(vumo_capture_timing bench/studio/CaptureTimingMain.cpp)
# How long the track strip's overviews of 17 tracks of 4 minutes take in the background, the
# strip's part of opening a project, and the picture drawn from an overview.
vumo_studio_timing(vumo_overview_timing bench/studio/OverviewTimingMain.cpp)
# The window thread's CPU share during a Play pass.
vumo_studio_timing(vumo_pass_cpu bench/studio/PassCpuMain.cpp)
# Echo, Band Pass and FFT Pitch over a 4-minute track through the F&X menu and a one-entry chain
# beside the engine's own FXIt, and the studio's fade in samples per second.
vumo_studio_timing(vumo_fx_timing bench/studio/FxPathMain.cpp)
# An undo and a redo step over a 4-minute track, and what keeping the step adds to Echo.
vumo_studio_timing(vumo_undo_timing bench/studio/UndoTimingMain.cpp)
# The drum editor's opening and a beat bar's repaint (figures in bench/drums/results.md).
vumo_studio_timing(vumo_drums_timing bench/drums/DrumsTimingMain.cpp)

if(VUMO_BUILD_BENCH)
    # Import speed against real time on one core. Only the import itself: no window, no engine.
    qt_add_executable(vumo_import_bench bench/studio/ImportBenchMain.cpp app/tracks/TrackImport.cpp)
    target_include_directories(vumo_import_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/app)
    target_link_libraries(vumo_import_bench PRIVATE vumo_core vumo_platform)
endif()
