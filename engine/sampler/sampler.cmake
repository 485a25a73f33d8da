# Sample keyboard: sources of wavorn_core and their tests.
target_sources(wavorn_core PRIVATE engine/sampler/Sampler.cpp)

# Unit tests over wavorn_core with the engine's buffers set up by hand.
add_executable(sampler_tests tests/engine/sampler/SamplerTest.cpp)
target_link_libraries(sampler_tests PRIVATE wavorn_core vumo_testwave GTest::gtest_main)
gtest_discover_tests(sampler_tests)
