# The studio application Vumo (Qt 6 Widgets) over the core: a static library of everything but
# main(), the program itself and the help page beside it. Its tests are defined in
# tests/app/app_tests.cmake, the programs that draw its windows for docs/ in
# tools/screenshots/screenshots.cmake.
find_package(Qt6 REQUIRED COMPONENTS Widgets Svg)

add_library(vumo_app STATIC
    app/commands/FileCommands.cpp
    app/commands/TrackCommands.cpp
    app/commands/EditCommands.cpp
    app/commands/TrackTable.cpp
    app/commands/TransportCommands.cpp
    app/commands/CaptureCommands.cpp
    app/commands/StudioToolCommands.cpp
    app/commands/CabinetCommands.cpp
    app/engineapi/EngineApi.cpp
    app/engineapi/EngineSession.cpp
    app/services/UiServices.cpp
    app/services/QtUiServices.cpp
    app/help/HelpWindow.cpp
    app/help/WebBrowserCheck.cpp
    app/settings/MidiInputs.cpp
    app/settings/Settings.cpp
    app/settings/StartUp.cpp
    app/settings/PhysicalMemory.cpp
    app/model/ProjectModel.cpp
    app/model/ProjectRecords.cpp
    app/tracks/TrackFiles.cpp
    app/tracks/TrackSound.cpp
    app/engineapi/Transport.cpp
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
    app/dialogs/FrmChain.cpp
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
    app/mainwin/frmVumoUndo.cpp
    app/undo/UndoSteps.cpp
    app/resources/vumo.qrc
)
set_target_properties(vumo_app PROPERTIES AUTOMOC ON AUTOUIC ON AUTORCC ON)
# Most of the studio's build time is the Qt headers, read once here for all of its sources.
target_precompile_headers(vumo_app PRIVATE
    <QAction> <QByteArray> <QCheckBox> <QComboBox> <QCoreApplication> <QDialog> <QDir> <QFile>
    <QFileInfo> <QGroupBox> <QHBoxLayout> <QLabel> <QMainWindow> <QPainter> <QPushButton>
    <QScrollBar> <QString> <QStringList> <QTimer> <QVBoxLayout> <QWidget> <functional> <memory>
    <vector>)
target_include_directories(vumo_app PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/app
                                           ${CMAKE_CURRENT_SOURCE_DIR}/engine/api)
target_compile_definitions(vumo_app PUBLIC VUMO_VERSION="${PROJECT_VERSION}")
target_link_libraries(vumo_app PUBLIC vumo_core vumo_waveheader Qt6::Widgets Qt6::Svg)
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
# The engine is loaded by name at run time from the program's folder, and the cabinet commands
# start vumo-chain beside the program: build them alongside.
add_dependencies(Vumo vumo-chain)
if(TARGET wavorn)
    add_dependencies(Vumo wavorn)
endif()
# The help page lives beside the program.
add_custom_command(TARGET Vumo POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_SOURCE_DIR}/app/help/vumo.htm
            $<TARGET_FILE_DIR:Vumo>/vumo.htm)

# ---- Effects (app/fx): the parameter dialog FrmFX and the chain window frmFXList over the
# core's effect catalog, presets and chains. ----
target_sources(vumo_app PRIVATE
    app/fx/FrmFX.cpp
    app/fx/FrmFX.ui
    app/fx/EffectDispatch.cpp
    app/fx/ChainProgress.cpp
    app/fx/frmFXList.cpp
    app/fx/frmFXList.ui
)

# ---- Import of audio files as tracks. ----
include(app/commands/import.cmake)

# ---- The mixer window and the drum editor window (over the core's drum data). ----
target_sources(vumo_app PRIVATE app/dialogs/frmMix.cpp app/dialogs/frmDrums.cpp)
