// vumo_screenshot: shows the main window over a made-up two-minute track, with a selection and
// a zoomed view, and saves the window as a PNG; with "options" or "browse" it saves that dialog
// instead. Usage: vumo_screenshot <file.png> [options|browse]
#include "dialogs/Browse.h"
#include "engineapi/EngineApi.h"
#include "mainwin/frmVumo.h"
#include "model/ProjectModel.h"
#include "project/ProjectFile.h"
#include "support/ScriptedUiServices.h"
#include "view/WaveformView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <numbers>

namespace
{

// A made-up track: phrases of decaying notes on the left, a slower pad on the right.
int32_t demoSample(int32_t index)
{
    const int32_t frame = index / 2;
    const double t = frame / 44100.0;
    if (index % 2 == 0)
    {
        const double beat = std::fmod(t, 0.5);
        const double phrase = 0.55 + 0.45 * std::sin(2 * std::numbers::pi * t / 9.0);
        const double level = phrase * std::exp(-beat * 7.0);
        return static_cast<int32_t>(28000 * level * std::sin(2 * std::numbers::pi * 220 * t));
    }
    const double swell = 0.5 + 0.5 * std::sin(2 * std::numbers::pi * t / 6.0);
    return static_cast<int32_t>(14000 * swell * std::sin(2 * std::numbers::pi * 110 * t) *
                                (0.6 + 0.4 * std::sin(2 * std::numbers::pi * 3 * t)));
}

extern "C" int32_t demoOpenLib(int32_t, int32_t)
{
    return 0;
}
extern "C" int32_t demoZero()
{
    return 0;
}
extern "C" int32_t demoTrackRead(int32_t index)
{
    return demoSample(index);
}

QFunctionPointer demoExport(const char* name)
{
    const QByteArray n(name);
    if (n == "OpenLib")
        return reinterpret_cast<QFunctionPointer>(&demoOpenLib);
    if (n == "TrackRead")
        return reinterpret_cast<QFunctionPointer>(&demoTrackRead);
    return reinterpret_cast<QFunctionPointer>(&demoZero);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString out =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshot.png");
    QTemporaryDir home;
    qputenv("VUMO_HOME", home.path().toLocal8Bit());
    QSettings store(home.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);

    vumo::ProjectModel model;
    vumo::EngineApi engine(&demoExport);
    vumo::ScriptedUiServices ui;
    vumo::frmVumo window(model, engine, ui, store);
    window.resize(1100, 560);
    window.show();

    QTimer::singleShot(200, &window,
                       [&]
                       {
                           // Two minutes; the two tracks have no files.
                           vumo::project::ProjectData demo = vumo::project::newProjectData(20);
                           demo.projTitle = "Night Drive";
                           demo.tracks = {{"Guitar", {}}, {"Vocals", {}}};
                           model.replaceProject(demo, QStringLiteral("01.59"));
                           window.setWindowTitle(QStringLiteral("Vumo - Night Drive"));
                           window.OpenEngine();
                           auto* tracks = window.findChild<QComboBox*>(QStringLiteral("cboTrack"));
                           tracks->addItems({QStringLiteral("Guitar"), QStringLiteral("Vocals")});
                           tracks->setCurrentIndex(1);
                           window.findChild<QGroupBox*>(QStringLiteral("fraTrack"))->show();
                           window.findChild<QCheckBox*>(QStringLiteral("chkArm"))->setChecked(true);
                           window.findChild<QLabel*>(QStringLiteral("lblMem"))
                               ->setText(QStringLiteral("Mem: 3912MB"));
                           window.findChild<QLabel*>(QStringLiteral("lblLength"))
                               ->setText(QStringLiteral("Len: 01.59"));
                           window.findChild<QScrollBar*>(QStringLiteral("hscZoom"))->setValue(4);
                           window.findChild<QScrollBar*>(QStringLiteral("hscView"))->setValue(6000);
                           window.selection().selStart = window.picView()->trkbegin() + 300000;
                           window.selection().selEnd = window.picView()->trkbegin() + 520000;
                           window.DrawTrack();
                       });
    const QString dialogName = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QTimer::singleShot(900, &window,
                       [&]
                       {
                           if (dialogName.isEmpty())
                           {
                               window.grab().save(out);
                               QApplication::quit();
                               return;
                           }
                           // The dialog is modal: grab it once it is up, then close it.
                           QTimer::singleShot(500, &window,
                                              [&]
                                              {
                                                  if (QWidget* dialog =
                                                          QApplication::activeModalWidget())
                                                  {
                                                      dialog->grab().save(out);
                                                      dialog->close();
                                                  }
                                                  QApplication::quit();
                                              });
                           if (dialogName == QStringLiteral("options"))
                               window.mnuToolsOptions();
                           else
                               vumo::BrowseForFile(ui, QStringLiteral("*.vum;*.cab"),
                                                   QStringLiteral("Open"), &window);
                       });
    return QApplication::exec();
}
