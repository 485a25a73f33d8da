# Tests of the studio core: its files written, read back and refused, under write faults too;
# cabinets that standard tools read; Shorten streams that FFmpeg decodes alike.
find_package(Qt6 REQUIRED COMPONENTS Test)

# Qt Test programs without windows: one test class per file. They run on QCoreApplication,
# which rejects the "-platform" argument (QTest reports it as unknown), so none is passed.
function(vumo_core_test name source)
    qt_add_executable(${name} ${source})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE vumo_core Qt6::Test)
    add_test(NAME ${name} COMMAND ${name})
endfunction()

vumo_core_test(tst_project tests/core/project/ProjectFileTest.cpp)
vumo_core_test(tst_drums tests/core/drums/DrumFileTest.cpp)
# Every writer of the core on a full disk and past a file size limit.
vumo_core_test(tst_writefaults tests/core/files/WriteFaultTest.cpp)

# Round trips, FFmpeg and cabextract reading what Vumo writes, refusals of foreign chain lines.
add_executable(cabinet_tests tests/core/cabinet/CabinetTest.cpp tests/core/shorten/ShortenTest.cpp)
target_link_libraries(cabinet_tests PRIVATE vumo_core vumo_testwave GTest::gtest_main)
gtest_discover_tests(cabinet_tests)

# The drum song through the real engine and the rtmidi backend to a JACK MIDI port of
# tests/servers.sh, without the window.
add_executable(drum_jack_tests tests/platform/DrumJackTest.cpp)
target_link_libraries(drum_jack_tests PRIVATE vumo_core wavorn vumo_platform PkgConfig::RTMIDI
    GTest::gtest_main)
# It runs alone: on a machine loaded by other tests the dummy JACK driver can skip the peer's
# process cycle, and the MIDI sent in that cycle is lost (seen twice at a load of 7 on 2 cores).
gtest_discover_tests(drum_jack_tests PROPERTIES ${VUMO_DEVICE_TEST_PROPERTIES} RUN_SERIAL TRUE)
