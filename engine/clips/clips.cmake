# Clip operations: sources of wavorn_core and their tests.
target_sources(wavorn_core PRIVATE engine/clips/Clips.cpp engine/clips/PasteModes.cpp)

# CopyTo, CutTo, PasteFrom and the sample keyboard through the library's exports over the
# virtual audio devices.
add_executable(clips_tests tests/engine/clips/ClipsTest.cpp)
target_link_libraries(clips_tests PRIVATE wavorn vumo_testwave GTest::gtest_main)
target_include_directories(clips_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
gtest_discover_tests(clips_tests)
