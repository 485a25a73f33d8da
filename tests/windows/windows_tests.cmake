# Checks of the Windows build beyond the GoogleTest programs: a plain C caller that loads
# wavorn.dll by name (LoadLibrary, GetProcAddress) and the same caller linked with the import
# library. tests/windows/run.sh compares the files the first writes with the Linux build's.
add_executable(wavorn_caller tests/windows/caller.c)
add_executable(wavorn_caller_imports tests/windows/caller.c)
target_compile_definitions(wavorn_caller_imports PRIVATE VUMO_CALLER_IMPORTS)
target_link_libraries(wavorn_caller_imports PRIVATE wavorn)
add_dependencies(wavorn_caller wavorn)

# The device tests that need no sound server run here too; run.sh runs the others against one.
gtest_discover_tests(winmm_device_tests)
foreach(caller wavorn_caller wavorn_caller_imports)
    file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${caller}-files)
    add_test(NAME ${caller} COMMAND ${caller} ${CMAKE_CURRENT_BINARY_DIR}/${caller}-files)
    set_tests_properties(${caller} PROPERTIES ENVIRONMENT
        "VUMO_AUDIO_BACKEND=virtual;VUMO_MIDI_BACKEND=virtual")
endforeach()
