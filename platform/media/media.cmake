# The media layer: the capture stream the wave devices use and the choice of reader for a source
# (in the device layer), and its modules: media files decoded with FFmpeg and audio CD tracks
# read with libcdio-paranoia (libvumo-media.so), MIDI files rendered by the built-in synth
# (libvumo-synth.so, platform/midi.cmake). The device layer loads a module the first time it is
# used, from the folder of the engine library, so the engine links none of their libraries.
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libswresample libavutil)
pkg_check_modules(CDIO_PARANOIA REQUIRED IMPORTED_TARGET libcdio_paranoia libcdio_cdda libcdio)

target_sources(vumo_platform PRIVATE
    platform/media/MediaReader.cpp
    platform/media/ModuleMediaReaders.cpp
    platform/media/MidiFileReader.cpp
    platform/media/CaptureStream.cpp
)
vumo_platform_module(vumo-media
    platform/media/FfmpegReader.cpp
    platform/media/CdTrackReader.cpp
    platform/media/MediaModuleEntry.cpp
)
target_link_libraries(vumo-media PRIVATE PkgConfig::FFMPEG PkgConfig::CDIO_PARANOIA)

add_executable(media_tests tests/platform/MediaReaderTest.cpp tests/platform/MediaLengthTest.cpp)
target_link_libraries(media_tests PRIVATE vumo_platform vumo_testwave GTest::gtest_main)
gtest_discover_tests(media_tests DISCOVERY_TIMEOUT 60)

if(VUMO_BUILD_BENCH)
    # Decoding speed against real time (not a test: run it by hand, figures in
    # bench/media/results.md).
    add_executable(media_decode_bench bench/media/MediaDecodeBench.cpp)
    target_link_libraries(media_decode_bench PRIVATE vumo_platform)
endif()
