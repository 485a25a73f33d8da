// Vumo: the studio application. Shows the main window, then runs its start-up sequence.
#include "engineapi/EngineApi.h"
#include "mainwin/frmVumo.h"
#include "model/ProjectModel.h"
#include "services/QtUiServices.h"

#include <QApplication>
#include <QSettings>
#include <QTimer>

#include <csignal>

int main(int argc, char* argv[])
{
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
