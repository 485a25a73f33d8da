# Importing audio files as tracks, and converting wave files Vumo cannot take as they are:
# decoded through the media layer, written through the safe writer. Included from app/app.cmake.
target_sources(vumo_app PRIVATE
    app/commands/ImportCommands.cpp
    app/tracks/TrackImport.cpp
    app/mainwin/frmVumoImport.cpp
)
target_link_libraries(vumo_app PRIVATE vumo_platform)

# Import of wave, FLAC, MP3 and files that cannot be imported through the real window and
# engine, against the ffmpeg CLI's own conversion; the conversion offer of wave files.
vumo_app_test(tst_import tests/app/commands/ImportTest.cpp)

if(VUMO_BUILD_BENCH)
    # Import speed against real time on one core (not a test: run it by hand, figures in
    # bench/README.md). Only the import itself: no window, no engine.
    qt_add_executable(vumo_import_bench bench/studio/ImportBenchMain.cpp app/tracks/TrackImport.cpp)
    target_include_directories(vumo_import_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/app)
    target_link_libraries(vumo_import_bench PRIVATE vumo_appcore vumo_platform)
endif()
