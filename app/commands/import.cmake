# Importing audio files as tracks, and converting wave files Vumo cannot take as they are:
# decoded through the media layer, written through the safe writer. Included from
# app/app.cmake; its test is in tests/app/app_tests.cmake, its benchmark in
# bench/studio/studio_bench.cmake.
target_sources(vumo_app PRIVATE
    app/commands/ImportCommands.cpp
    app/commands/ImportProgressDialog.cpp
    app/tracks/TrackImport.cpp
    app/mainwin/frmVumoImport.cpp
)
target_link_libraries(vumo_app PRIVATE vumo_platform)

