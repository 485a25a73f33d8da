# vumo-fx: applies effects to wave files through the engine's exports; its tests.
# The effect catalog is the studio's own table (app/fx), built without Qt.
include(app/fx/fx_catalog.cmake)
add_library(vumo_fx_tool STATIC
    tools/fx/FxCommandLine.cpp
    tools/fx/WaveProbe.cpp
)
target_include_directories(vumo_fx_tool PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vumo_fx_tool PUBLIC vumo_waveheader vumo_fxcatalog vumo_files)

add_executable(vumo-fx tools/fx/main.cpp)
target_link_libraries(vumo-fx PRIVATE vumo_fx_tool wavorn)

if(WIN32)
    return() # its end-to-end tests run the program through the shell; tests/windows/run.sh
             # compares vumo-fx.exe with the Linux program instead
endif()

# Unit tests of the command line and the header probe, and the program run end to end on
# generated wave files; the expected samples come from the effects in wavorn_core directly.
add_executable(fx_tool_tests tests/tools/fx/VumoFxTest.cpp)
target_link_libraries(fx_tool_tests PRIVATE vumo_fx_tool wavorn_core vumo_testwave GTest::gtest_main)
target_compile_definitions(fx_tool_tests PRIVATE VUMO_FX_PROGRAM="$<TARGET_FILE:vumo-fx>")
add_dependencies(fx_tool_tests vumo-fx)
gtest_discover_tests(fx_tool_tests)
