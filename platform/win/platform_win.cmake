# The device layer of the Windows build: the Windows multimedia wave and MIDI devices and timer
# (winmm), the virtual devices, and the file helpers. Neither PortAudio, RtMidi, the built-in
# synth nor the media decoders are part of it: media capture says "not available in this build"
# (platform/media/NoMediaReaders.cpp).
add_library(vumo_waveheader INTERFACE)
target_include_directories(vumo_waveheader INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})

add_library(vumo_files STATIC platform/files/RegularFile.cpp platform/files/FileNames.cpp
    platform/files/RiffWalker.cpp platform/files/SafeWriter.cpp)
target_include_directories(vumo_files PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

add_library(vumo_platform STATIC
    platform/PeriodicTimer.cpp
    platform/Clock.cpp
    platform/win/WinAudioBackend.cpp
    platform/win/WinMidiBackend.cpp
    platform/win/WinMmWaveOut.cpp
    platform/win/WinMmWaveIn.cpp
    platform/win/WinMmMidiOut.cpp
    platform/win/WinMmMidiIn.cpp
    platform/win/WinMmTimer.cpp
    platform/virtual/VirtualStream.cpp
    platform/virtual/VirtualLoopback.cpp
    platform/virtual/VirtualWaveSink.cpp
    platform/virtual/VirtualWaveSource.cpp
    platform/virtual/VirtualWaveOut.cpp
    platform/virtual/VirtualWaveIn.cpp
    platform/virtual/VirtualMidiIn.cpp
    platform/virtual/VirtualMidiOut.cpp
    platform/media/MediaReader.cpp
    platform/media/CaptureStream.cpp
    platform/media/NoMediaReaders.cpp
)
target_include_directories(vumo_platform PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vumo_platform PUBLIC vumo_waveheader vumo_files Threads::Threads winmm)

# The device layer's tests that need no Linux device: clocks, timers and virtual devices.
add_executable(platform_tests
    tests/platform/ClockTest.cpp
    tests/platform/RiffWalkerTest.cpp
    tests/platform/VirtualWaveTest.cpp
)
target_link_libraries(platform_tests PRIVATE vumo_platform vumo_testwave GTest::gtest_main)
gtest_discover_tests(platform_tests)

# The Windows multimedia devices, under Wine against the sound server of tests/servers.sh
# (tests/windows/run.sh drives them: the server's side of each check runs there).
add_executable(winmm_device_tests
    tests/platform/WinMmWaveTest.cpp
    tests/platform/WinMmMidiTest.cpp
)
target_link_libraries(winmm_device_tests PRIVATE vumo_platform vumo_testwave wavorn
    GTest::gtest_main)

# File names as texts of the system's code page, through the wave writer and loader.
add_executable(file_name_tests tests/platform/FileNamesTest.cpp)
target_link_libraries(file_name_tests PRIVATE wavorn_core vumo_testwave GTest::gtest_main)
gtest_discover_tests(file_name_tests)
