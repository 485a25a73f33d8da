// vumo_project_screenshot: builds a project of three tracks, records each one through the
// engine's virtual wave input, and saves the main window as a PNG.
// Usage: vumo_project_screenshot <file.png>  (runs the real engine on its virtual devices)
#include "engineapi/EngineApi.h"
#include "files/SafeWrite.h"
#include "mainwin/frmVumo.h"
#include "model/ProjectModel.h"
#include "platform/WaveHeader.h"
#include "support/ScriptedUiServices.h"
#include "view/WaveformView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <numbers>
#include <vector>

namespace
{

constexpr double kPi = std::numbers::pi;

// Three takes: plucked notes, a pad that swells, and a rhythm of short bursts.
int16_t takeSample(int take, int frame, int channel)
{
    const double t = frame / 44100.0;
    double v = 0;
    if (take == 0)
    {
        const double beat = std::fmod(t, 0.4);
        const double f = 196.0 * (1 + int(t / 0.4) % 4 * 0.25);
        v = 0.8 * std::exp(-beat * 8.0) * std::sin(2 * kPi * f * t);
    }
    else if (take == 1)
    {
        const double swell = 0.5 - 0.5 * std::cos(2 * kPi * t / 2.5);
        v = 0.6 * swell * std::sin(2 * kPi * 110 * t) * (0.7 + 0.3 * std::sin(2 * kPi * 5 * t));
    }
    else
    {
        const double beat = std::fmod(t, 0.25);
        const double noise = std::sin(frame * 12.9898) * 43758.5453;
        v = 0.9 * std::exp(-beat * 30.0) * (noise - std::floor(noise) - 0.5) * 2;
    }
    if (channel == 1)
        v *= 0.7;
    return static_cast<int16_t>(30000 * v);
}

bool writeTake(const QString& path, int take, int frames)
{
    QByteArray b;
    auto le = [&](auto value)
    {
        char c[sizeof value];
        qToLittleEndian(value, c);
        b.append(c, sizeof c);
    };
    const auto header = platform::waveHeader(uint32_t(frames));
    b.append(reinterpret_cast<const char*>(header.data()), qsizetype(header.size()));
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < 2; ++c)
            le(takeSample(take, f, c));
    return vumo::files::writeFileSafely(path, b).isEmpty();
}

template <typename T> T* child(QWidget& w, const char* name)
{
    return w.findChild<T*>(QString::fromLatin1(name));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
    {
        qWarning("usage: vumo_project_screenshot <file.png>");
        return 2;
    }
    QTemporaryDir home;
    qputenv("VUMO_HOME", QFile::encodeName(home.path()));
    qputenv("VUMO_AUDIO_BACKEND", "virtual");
    qputenv("VUMO_MIDI_BACKEND", "virtual");
    qputenv("VUMO_VIRTUAL_SPEED", "20");

    vumo::ProjectModel model;
    vumo::EngineApi engine;
    vumo::ScriptedUiServices ui;
    QSettings store(home.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    vumo::frmVumo window(model, engine, ui, store);
    window.resize(1000, 560);
    window.show();

    auto ok = [](const char* button)
    { return [button](QDialog& d) { child<QAbstractButton>(d, button)->click(); }; };
    // New: 1 MB per track (about 6 seconds), titled "Demo song"; the first track is added.
    ui.dialogs.push_back(
        [](QDialog& d)
        {
            child<QScrollBar>(d, "vscMem")->setValue(255);
            child<QLineEdit>(d, "txtTitle")->setText(QStringLiteral("Demo song"));
            child<QAbstractButton>(d, "cmdOK")->click();
        });
    ui.dialogs.push_back(ok("OKButton"));
    window.mnuFileNew();
    ui.dialogs.push_back(ok("OKButton"));
    window.mnuTrackAdd();
    ui.dialogs.push_back(ok("OKButton"));
    window.mnuTrackAdd();

    const int frames = model.mod().trackLength;
    child<QCheckBox>(window, "chkArm")->setChecked(true);
    for (int take = 0; take < 3; ++take)
    {
        const QString input = home.filePath(QStringLiteral("take%1.wav").arg(take));
        writeTake(input, take, frames);
        qputenv("VUMO_VIRTUAL_INPUT", QFile::encodeName(input));
        child<QComboBox>(window, "cboTrack")->setCurrentIndex(take);
        window.selection().selStart = 2000 + take * 20000;
        window.selection().selEnd = frames - 2 - take * 30000;
        window.mnuControlRecord();
    }
    // Show the first track with a selection, as after a mouse drag.
    child<QComboBox>(window, "cboTrack")->setCurrentIndex(0);
    child<QScrollBar>(window, "hscVol")->setValue(220);
    child<QScrollBar>(window, "hscPan")->setValue(100);
    window.DrawTrack();
    window.picView()->DrawSelection();
    window.selection().selStart = frames / 5;
    window.selection().selEnd = frames / 3;
    window.picView()->DrawSelection();
    QApplication::processEvents();
    const bool saved = window.grab().save(QString::fromLocal8Bit(argv[1]));
    engine.SaveEdits();
    window.session().close();
    return saved ? 0 : 1;
}
