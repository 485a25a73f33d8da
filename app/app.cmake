# The studio application Vumo (Qt 6 Widgets): a static library of everything but main(),
# the program itself, the help page beside it, and the Qt Test programs of tests/app.
find_package(Qt6 REQUIRED COMPONENTS Widgets Svg Test)
# The window-free core (project file, drum data) comes first: the studio links it.
include(app/project/project.cmake)

add_library(vumo_app STATIC
    app/commands/FileCommands.cpp
    app/commands/TrackCommands.cpp
    app/commands/EditCommands.cpp
    app/commands/TrackTable.cpp
    app/commands/TransportCommands.cpp
    app/commands/CaptureCommands.cpp
    app/commands/StudioToolCommands.cpp
    app/engineapi/EngineApi.cpp
    app/engineapi/EngineSession.cpp
    app/services/UiServices.cpp
    app/services/QtUiServices.cpp
    app/help/HelpWindow.cpp
    app/settings/AppFolder.cpp
    app/settings/MidiInputs.cpp
    app/settings/Settings.cpp
    app/settings/StartUp.cpp
    app/settings/PhysicalMemory.cpp
    app/model/ProjectModel.cpp
    app/project/ProjectRecords.cpp
    app/tracks/TrackFiles.cpp
    app/tracks/TrackSound.cpp
    app/transport/Transport.cpp
    app/view/ViewMath.cpp
    app/view/TrackRenderer.cpp
    app/view/WaveformView.cpp
    app/view/Overview.cpp
    app/view/Overviews.cpp
    app/view/Ruler.cpp
    app/view/TrackStrip.cpp
    app/dialogs/Browse.cpp
    app/dialogs/FrmBrowse.cpp
    app/dialogs/FrmBrowse.ui
    app/dialogs/FrmMessage.cpp
    app/dialogs/FrmMessage.ui
    app/dialogs/frmOptions.cpp
    app/dialogs/frmOptions.ui
    app/dialogs/FrmProjProps.cpp
    app/dialogs/FrmProjProps.ui
    app/dialogs/FrmTrackProps.cpp
    app/dialogs/FrmTrackProps.ui
    app/mainwin/frmVumo.cpp
    app/mainwin/frmVumoCommands.cpp
    app/mainwin/frmVumoControls.cpp
    app/mainwin/frmVumoMenus.cpp
    app/mainwin/frmVumoProject.cpp
    app/mainwin/frmVumoTracks.cpp
    app/mainwin/frmVumoTransport.cpp
    app/mainwin/frmVumoStrip.cpp
    app/resources/vumo.qrc
)
set_target_properties(vumo_app PROPERTIES AUTOMOC ON AUTOUIC ON AUTORCC ON)
target_include_directories(vumo_app PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/app
                                           ${CMAKE_CURRENT_SOURCE_DIR}/engine/api)
target_compile_definitions(vumo_app PUBLIC VUMO_VERSION="${PROJECT_VERSION}")
target_link_libraries(vumo_app PUBLIC vumo_appcore vumo_waveheader Qt6::Widgets Qt6::Svg)
# Track files from elsewhere are read only when they are regular files.
target_link_libraries(vumo_app PRIVATE vumo_files)
# The Options dialog lists the MIDI inputs through the device layer when it is built.
if(TARGET vumo_platform)
    target_link_libraries(vumo_app PRIVATE vumo_platform)
    target_compile_definitions(vumo_app PRIVATE VUMO_HAVE_PLATFORM_MIDI)
endif()

qt_add_executable(Vumo app/main.cpp)
set_target_properties(Vumo PROPERTIES AUTOMOC ON)
target_link_libraries(Vumo PRIVATE vumo_app)
# The engine is loaded by name at run time from the program's folder: build it alongside.
if(TARGET wavorn)
    add_dependencies(Vumo wavorn)
endif()
# The help page lives beside the program.
add_custom_command(TARGET Vumo POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_SOURCE_DIR}/app/help/vumo.htm
            $<TARGET_FILE_DIR:Vumo>/vumo.htm)

# The test doubles: scripted answers for the UI services and a stand-in engine. The tests, the
# screenshot programs and the timing program use them; the studio itself does not.
add_library(vumo_app_testsupport STATIC tests/app/support/ScriptedUiServices.cpp
                                        tests/app/support/FakeEngine.h
                                        tests/app/support/TestFiles.h)
target_include_directories(vumo_app_testsupport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/tests/app)
target_link_libraries(vumo_app_testsupport PUBLIC vumo_app vumo_testwave)

# Draws the main window over a made-up track and saves it as a PNG (docs/screenshot-main.png).
qt_add_executable(vumo_screenshot app/demo/ScreenshotMain.cpp)
target_link_libraries(vumo_screenshot PRIVATE vumo_app_testsupport)

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
vumo_app_test(tst_projectcommands tests/app/project/ProjectCommandsTest.cpp)
vumo_app_test(tst_commands tests/app/commands/CommandsTest.cpp)
vumo_app_test(tst_projectmodel tests/app/model/ProjectModelTest.cpp)
# Special files refused by every reader and by the window; the application and engine folders.
vumo_app_test(tst_outsidefiles tests/app/project/OutsideFilesTest.cpp)
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

# Records three tracks through the engine's virtual input and saves the main window as a PNG
# (docs/screenshot-project.png).
qt_add_executable(vumo_project_screenshot app/demo/ProjectScreenshotMain.cpp)
target_link_libraries(vumo_project_screenshot PRIVATE vumo_app_testsupport)
if(TARGET wavorn)
    add_dependencies(vumo_project_screenshot wavorn)
endif()

# Times a track switch and a project opening in a project of 16 tracks of 4 MB beside a plain
# read of the same files (not a test: run it by hand, figures in bench/README.md).
qt_add_executable(vumo_switch_timing bench/studio/SwitchTimingMain.cpp)
target_link_libraries(vumo_switch_timing PRIVATE vumo_app_testsupport)
if(TARGET wavorn)
    add_dependencies(vumo_switch_timing wavorn)
endif()

# How long the track strip's overviews of 17 tracks of 4 minutes take in the background, the
# strip's part of opening a project, and the picture drawn from an overview (not a test: run it
# by hand, figures in bench/README.md).
qt_add_executable(vumo_overview_timing bench/studio/OverviewTimingMain.cpp)
target_link_libraries(vumo_overview_timing PRIVATE vumo_app_testsupport)
if(TARGET wavorn)
    add_dependencies(vumo_overview_timing wavorn)
endif()

# How long Rip MCI takes against the media's length and SK1 Mode takes to render 500 notes
# (not a test: run it by hand, figures in bench/media/results.md).
qt_add_executable(vumo_capture_timing bench/studio/CaptureTimingMain.cpp)
target_link_libraries(vumo_capture_timing PRIVATE vumo_app_testsupport)
if(TARGET wavorn)
    add_dependencies(vumo_capture_timing wavorn)
endif()

# The window thread's CPU share during a Play pass (not a test: run it by hand).
qt_add_executable(vumo_pass_cpu bench/studio/PassCpuMain.cpp)
target_link_libraries(vumo_pass_cpu PRIVATE vumo_app_testsupport)
if(TARGET wavorn)
    add_dependencies(vumo_pass_cpu wavorn)
endif()

# Echo, Band Pass and FFT Pitch over a 4-minute track through the F&X menu and a one-entry chain
# beside the engine's own FXIt, and the studio's fade in samples per second (not a test: run it
# by hand, figures in bench/README.md).
qt_add_executable(vumo_fx_timing bench/studio/FxPathMain.cpp)
target_link_libraries(vumo_fx_timing PRIVATE vumo_app_testsupport)
if(TARGET wavorn)
    add_dependencies(vumo_fx_timing wavorn)
endif()

# ---- Effects (app/fx): the effect catalog shared with vumo-fx, the effect and chain files, the
# parameter dialog FrmFX, the chain window frmFXList, and their tests. ----
include(app/fx/fx_catalog.cmake)
target_sources(vumo_app PRIVATE
    app/fx/FxFileWrite.cpp
    app/fx/EffectSetting.cpp
    app/fx/EffectChain.cpp
    app/fx/FrmFX.cpp
    app/fx/FrmFX.ui
    app/fx/EffectDispatch.cpp
    app/fx/ChainProgress.cpp
    app/fx/frmFXList.cpp
    app/fx/frmFXList.ui
)
target_link_libraries(vumo_app PUBLIC vumo_fxcatalog)
vumo_app_test(tst_fx tests/app/fx/FxTest.cpp)
# Values in units in the effect dialog and the mixer.
vumo_app_test(tst_units tests/app/fx/UnitsTest.cpp)
# Saves the effect dialog or the chain window as a PNG (docs/screenshot-fx.png, -fxlist.png).
qt_add_executable(vumo_fx_screenshot app/fx/FxScreenshotMain.cpp)
target_link_libraries(vumo_fx_screenshot PRIVATE vumo_app_testsupport)

# ---- Import of audio files as tracks. ----
include(app/commands/import.cmake)

# ---- The mixer window and the drum editor window. ----
include(app/mixer/mixer.cmake)
include(app/drums/drums_ui.cmake)

# The main window's effect, mixer, sample keyboard and CD capture commands end to end; the
# mixdown is compared with the vumo-mix beside the test program (tools/cab/cab_project.cmake
# makes the test depend on it, once vumo-mix exists).
vumo_app_test(tst_wiredcommands tests/app/mainwin/WiredCommandsTest.cpp)
# What a user meets in the real window over the real engine: presets, Copy To, wave files the
# studio cannot read, the picture of a steady tone and after Delete.
vumo_app_test(tst_studioscenarios tests/app/mainwin/StudioScenariosTest.cpp)
