// Vumo: the studio application. Shows the main window, then runs its start-up sequence.
#include "engineapi/EngineApi.h"
#include "mainwin/frmVumo.h"
#include "model/ProjectModel.h"
#include "services/QtUiServices.h"

#include <QApplication>
#include <QSettings>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstring>

namespace
{

const char kHelp[] =
    "Usage: Vumo [PROJECT.vum | CABINET.cab]\n"
    "\n"
    "The Vumo studio: records, edits and mixes projects of up to 17 stereo tracks.\n"
    "With a project file, opens that project. With a project cabinet, unpacks it and\n"
    "opens its project. Without a file, asks whether to open an existing project and\n"
    "otherwise starts a new one.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this text and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "Environment:\n"
    "  VUMO_HOME           the application folder: the clipboard file, new tracks and\n"
    "                      cabinets' working files (default ~/.local/share/Vumo/Vumo)\n"
    "  VUMO_AUDIO_BACKEND  auto, portaudio or virtual\n"
    "  VUMO_MIDI_BACKEND   auto, rtmidi, synth or virtual\n"
    "  VUMO_SOUNDFONT      the built-in synth's General MIDI SoundFont\n"
    "\n"
    "The help page is in the Help menu.\n";

// --help and --version are answered before any window system is needed; anything else is
// left to the studio. Returns the exit status, or -1 to go on.
int answerOption(int argc, char* argv[])
{
    if (argc != 2)
        return -1;
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)
        return std::fputs(kHelp, stdout) >= 0 ? 0 : 1;
    if (std::strcmp(argv[1], "--version") == 0)
        return std::printf("Vumo %s\n", VUMO_VERSION) > 0 ? 0 : 1;
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (const int status = answerOption(argc, argv); status >= 0)
        return status;
#if defined(SIGXFSZ)
    // A file size limit makes a write fail like a full disk, reported and with nothing lost,
    // instead of ending the program on the spot.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vumo"));
    QApplication::setOrganizationName(QStringLiteral("Vumo"));
    QApplication::setApplicationVersion(QStringLiteral(VUMO_VERSION));

    vumo::ProjectModel model;
    vumo::EngineApi engine; // nothing is bound before the first project opens
    vumo::QtUiServices ui;
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vumo"),
                    QStringLiteral("Vumo"));
    vumo::frmVumo window(model, engine, ui, store);
    ui.setOwner(&window);
    ui.setFileBrowserChoice([&model] { return model.mod().settings.ownFileBrowser; });
    window.show();
    // The start-up sequence runs once the window has been painted, so it is visible while
    // the first project is chosen.
    QTimer::singleShot(0, &window, [&] { window.startUp(QApplication::arguments()); });
    return QApplication::exec();
}
