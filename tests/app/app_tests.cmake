# The studio's Qt Test programs and the test doubles they share: scripted answers for the UI
# services and a stand-in engine. The screenshot programs and the studio's timing programs use
# the doubles too; the studio itself does not.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_library(vumo_app_testsupport STATIC tests/app/support/ScriptedUiServices.cpp
                                        tests/app/support/FakeEngine.h
                                        tests/app/support/TestFiles.h)
target_include_directories(vumo_app_testsupport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/tests/app)
target_link_libraries(vumo_app_testsupport PUBLIC vumo_app vumo_testwave)

# Qt Test programs: one test class per file, run on the offscreen platform.
function(vumo_app_test name source)
    qt_add_executable(${name} ${source})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE vumo_app_testsupport Qt6::Test)
    target_compile_definitions(${name} PRIVATE
                               VUMO_HELP_PAGE="${CMAKE_CURRENT_SOURCE_DIR}/app/help/vumo.htm")
    add_test(NAME ${name} COMMAND ${name} -platform offscreen)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    # The engine tests load the real libwavorn from the program folder when it is built.
    if(TARGET wavorn)
        add_dependencies(${name} wavorn)
    endif()
endfunction()

vumo_app_test(tst_view tests/app/view/ViewTest.cpp)
# The track strip, its overviews, the time ruler, the status bar's times and Space.
vumo_app_test(tst_trackstrip tests/app/view/TrackStripTest.cpp)
vumo_app_test(tst_mainwindow tests/app/mainwin/MainWindowTest.cpp)
vumo_app_test(tst_dialogs tests/app/dialogs/DialogsTest.cpp)
vumo_app_test(tst_projectcommands tests/app/commands/ProjectCommandsTest.cpp)
vumo_app_test(tst_commands tests/app/commands/CommandsTest.cpp)
vumo_app_test(tst_projectmodel tests/app/model/ProjectModelTest.cpp)
# Special files refused by every reader and by the window; the application and engine folders;
# the cabinet commands, which run vumo-chain beside the test program.
vumo_app_test(tst_outsidefiles tests/app/commands/OutsideFilesTest.cpp)
add_dependencies(tst_outsidefiles vumo-chain)
vumo_app_test(tst_qtuiservices tests/app/services/QtUiServicesTest.cpp)
# The system's file dialog, the own browser as an Options choice, and their questions.
vumo_app_test(tst_filedialogs tests/app/services/FileDialogsTest.cpp)
# The help page in the studio's help window when no web browser can show it.
vumo_app_test(tst_helpwindow tests/app/help/HelpWindowTest.cpp)
# The Options dialog's MIDI input list on the JACK server of tests/servers.sh, which the device
# tests take in turns.
vumo_app_test(tst_optionsdevices tests/app/dialogs/OptionsDevicesTest.cpp)
target_link_libraries(tst_optionsdevices PRIVATE vumo_platform PkgConfig::RTMIDI)
set_tests_properties(tst_optionsdevices PROPERTIES RESOURCE_LOCK sound_servers)

vumo_app_test(tst_fx tests/app/fx/FxTest.cpp)
# Values in units in the effect dialog and the mixer; the mixer window.
vumo_app_test(tst_units tests/app/fx/UnitsTest.cpp)
# Import of wave, FLAC, MP3 and files that cannot be imported through the real window and
# engine, against the ffmpeg CLI's own conversion; the conversion offer of wave files.
vumo_app_test(tst_import tests/app/commands/ImportTest.cpp)
vumo_app_test(tst_drumeditor tests/app/dialogs/DrumEditorTest.cpp)

# What a user meets in the real window over the real engine: the effect, mixer, sample keyboard
# and CD capture commands, presets, Copy To, wave files the studio cannot read, the picture after
# Delete; the mixdown is compared with the vumo-mix beside the test program.
vumo_app_test(tst_wiredcommands tests/app/mainwin/WiredCommandsTest.cpp)
add_dependencies(tst_wiredcommands vumo-mix)
# Undo and redo in steps through the real window and engine; the full disk's file size limit.
vumo_app_test(tst_undosteps tests/app/undo/UndoStepsTest.cpp)
