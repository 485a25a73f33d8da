# The device layer: wave output and input, MIDI, the periodic timer; real and virtual backends.
pkg_check_modules(PORTAUDIO REQUIRED IMPORTED_TARGET portaudio-2.0)
# ALSA and JACK come with PortAudio's development files; when found, their messages on
# standard error are turned off before PortAudio probes the devices.
pkg_check_modules(ALSA IMPORTED_TARGET alsa)
pkg_check_modules(JACK IMPORTED_TARGET jack)

add_library(vumo_platform STATIC
    platform/AudioBackend.cpp
    platform/Clock.cpp
    platform/PlatformModule.cpp
    platform/portaudio/PortAudioSession.cpp
    platform/portaudio/PortAudioWaveOut.cpp
    platform/portaudio/PortAudioWaveIn.cpp
    platform/virtual/VirtualStream.cpp
    platform/virtual/VirtualLoopback.cpp
    platform/virtual/VirtualWaveSink.cpp
    platform/virtual/VirtualWaveSource.cpp
    platform/virtual/VirtualWaveOut.cpp
    platform/virtual/VirtualWaveIn.cpp
)
target_include_directories(vumo_platform PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
# The canonical wave header's writer and reader (platform/WaveHeader.h), header-only, for every
# area that writes or reads a header: the engine, the studio, the tools, the benchmarks, tests.
add_library(vumo_waveheader INTERFACE)
target_include_directories(vumo_waveheader INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vumo_platform PUBLIC vumo_waveheader)
# Opening files from elsewhere (regular files of a size the reader takes, never blocking), for
# every reader of outside bytes: the engine, the studio, the tools.
add_library(vumo_files STATIC platform/files/RegularFile.cpp platform/files/FileNames.cpp
    platform/files/RiffWalker.cpp platform/files/SafeWriter.cpp)
target_include_directories(vumo_files PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vumo_platform PUBLIC vumo_files)
target_link_libraries(vumo_platform PUBLIC Threads::Threads ${CMAKE_DL_LIBS}
                                    PRIVATE PkgConfig::PORTAUDIO)
if(ALSA_FOUND)
    target_compile_definitions(vumo_platform PRIVATE VUMO_HAVE_ALSA)
    target_link_libraries(vumo_platform PRIVATE PkgConfig::ALSA)
endif()
if(JACK_FOUND)
    target_compile_definitions(vumo_platform PRIVATE VUMO_HAVE_JACK)
    target_link_libraries(vumo_platform PRIVATE PkgConfig::JACK)
endif()

# A module of the device layer: a shared object that exports only its table (the symbol
# vumo_<name>_module_v1) and links the file helpers and its own libraries.
function(vumo_platform_module target)
    add_library(${target} MODULE ${ARGN})
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} PRIVATE vumo_files)
    target_link_options(${target} PRIVATE -Wl,--exclude-libs,ALL)
    set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden
                                               VISIBILITY_INLINES_HIDDEN ON)
    # Whatever loads the device layer finds its modules built beside it.
    add_dependencies(vumo_platform ${target})
endfunction()

add_executable(platform_tests
    tests/platform/ClockTest.cpp
    tests/platform/VirtualWaveTest.cpp
    tests/platform/PortAudioWaveTest.cpp
    tests/platform/RegularFileTest.cpp
    tests/platform/RiffWalkerTest.cpp
    tests/platform/SafeWriterTest.cpp
)
target_link_libraries(platform_tests PRIVATE vumo_platform vumo_testwave PkgConfig::PORTAUDIO
    GTest::gtest_main)
# The device tests share the sound servers of tests/servers.sh: one at a time, so that none hears
# another's signal at the null sink or finds another's MIDI ports.
set(VUMO_DEVICE_TEST_PROPERTIES RESOURCE_LOCK sound_servers)
if(VUMO_SANITIZE)
    # Leaks in ALSA's plugin modules are told apart by snd_dlopen on their stacks
    # (tests/lsan.supp); only the slow unwinder gets there through the plugins' frames.
    list(APPEND VUMO_DEVICE_TEST_PROPERTIES
        ENVIRONMENT_MODIFICATION "ASAN_OPTIONS=string_append::fast_unwind_on_malloc=0")
endif()
gtest_discover_tests(platform_tests PROPERTIES ${VUMO_DEVICE_TEST_PROPERTIES})
