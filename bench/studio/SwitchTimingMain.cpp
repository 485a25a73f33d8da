// vumo_switch_timing: how long a track switch and a project opening take in a project of 16
// tracks of 4 MB, beside plainly reading the same files. Prints one line per figure.
// Usage: vumo_switch_timing [runs]   (the real engine on its virtual devices, offscreen)
#include "StudioBench.h"
#include "dialogs/FrmMessage.h"
#include "engineapi/EngineApi.h"
#include "mainwin/frmVumo.h"
#include "model/ProjectModel.h"
#include "platform/WaveHeader.h"
#include "project/ProjectFile.h"
#include "support/ScriptedUiServices.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

constexpr int kTracks = 16;
constexpr int kMB = 4;
constexpr int kFrames = kMB * 262144;
constexpr int kFileBytes = int(platform::kWaveHeaderBytes) + kFrames * 4;

bool writeTrack(const QString& path, int seed)
{
    QByteArray b(kFileBytes, '\0');
    char* p = b.data();
    platform::fillWaveHeader(reinterpret_cast<uint8_t*>(p), kFrames);
    auto* s = reinterpret_cast<int16_t*>(p + platform::kWaveHeaderBytes);
    for (int i = 0; i < 2 * kFrames; ++i)
        s[i] = static_cast<int16_t>((i * (seed + 3)) % 20000 - 10000);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
}

} // namespace

int main(int argc, char* argv[])
{
    vumo::bench::useQuietOffscreen();
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir home;
    qputenv("VUMO_HOME", QFile::encodeName(home.path()));
    qputenv("VUMO_AUDIO_BACKEND", "virtual");
    qputenv("VUMO_MIDI_BACKEND", "virtual");

    vumo::project::ProjectData data = vumo::project::newProjectData(kMB);
    QStringList files;
    for (int k = 0; k < kTracks; ++k)
    {
        files << home.filePath(QStringLiteral("track%1.wav").arg(k));
        writeTrack(files.back(), k);
        data.tracks.append(
            {QStringLiteral("t%1").arg(k + 1).toUtf8(), QFile::encodeName(files.back())});
    }
    const QString projectPath = home.filePath(QStringLiteral("sixteen.vum"));
    vumo::project::writeProject(projectPath, data);

    // Reading the same bytes: every file once, as a switch reads them (15 premixed, 1 loaded).
    std::vector<double> reads;
    std::vector<char> buffer(kFileBytes);
    for (int r = 0; r < runs + 1; ++r)
    {
        QElapsedTimer t;
        t.start();
        for (const QString& path : files)
        {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            f.read(buffer.data(), qint64(buffer.size()));
        }
        if (r > 0) // the first run warms the file cache
            reads.push_back(t.nsecsElapsed() / 1e6);
    }

    vumo::ProjectModel model;
    vumo::EngineApi engine;
    vumo::ScriptedUiServices ui;
    QSettings store(home.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    vumo::frmVumo window(model, engine, ui, store);
    window.resize(1000, 560);
    window.show();

    // The message window's paint wait, which every switch and opening includes by design.
    std::vector<double> waits;
    for (int r = 0; r < runs; ++r)
    {
        vumo::FrmMessage message;
        QElapsedTimer t;
        t.start();
        message.Init();
        waits.push_back(t.nsecsElapsed() / 1e6);
        message.hide();
    }

    std::vector<double> opens;
    std::vector<double> openWork; // the same without the message windows' paint waits
    for (int r = 0; r < runs; ++r)
    {
        const qint64 waitedBefore = vumo::FrmMessage::waitedNs();
        QElapsedTimer t;
        t.start();
        window.OpenProject(projectPath);
        const qint64 ns = t.nsecsElapsed();
        opens.push_back(ns / 1e6);
        openWork.push_back((ns - (vumo::FrmMessage::waitedNs() - waitedBefore)) / 1e6);
    }

    auto* list = window.findChild<QComboBox*>(QStringLiteral("cboTrack"));
    std::vector<double> switches;
    std::vector<double> switchWork; // the same without the paint wait
    std::vector<double> work;       // push, premix and load, draw: the engine's part and the view
    for (int r = 0; r < runs; ++r)
    {
        const qint64 waitedBefore = vumo::FrmMessage::waitedNs();
        QElapsedTimer t;
        t.start();
        list->setCurrentIndex(r % 2 == 0 ? 3 : 12);
        const qint64 ns = t.nsecsElapsed();
        switches.push_back(ns / 1e6);
        switchWork.push_back((ns - (vumo::FrmMessage::waitedNs() - waitedBefore)) / 1e6);

        const int k = r % 2 == 0 ? 12 : 3;
        t.restart();
        window.PushAllTracks();
        engine.SetCurTrack(k, -1);
        window.DrawTrack();
        work.push_back(t.nsecsElapsed() / 1e6);
    }
    // The engine's own reopening, which every opening includes.
    std::vector<double> reopens;
    for (int r = 0; r < runs; ++r)
    {
        QElapsedTimer t;
        t.start();
        engine.CloseLib();
        engine.OpenLib(kFrames, 0);
        reopens.push_back(t.nsecsElapsed() / 1e6);
    }
    const double read = vumo::bench::median(reads);
    std::printf("tracks %d x %d MB, %d runs, medians in ms\n", kTracks, kMB, runs);
    std::printf("plain read of the 16 files       %8.1f\n", read);
    std::printf("message window paint wait        %8.1f\n", vumo::bench::median(waits));
    std::printf("SwitchTrack, whole               %8.1f\n", vumo::bench::median(switches));
    std::printf("SwitchTrack without the wait     %8.1f  (%.2fx the read)\n",
                vumo::bench::median(switchWork), vumo::bench::median(switchWork) / read);
    std::printf("  push + SetCurTrack + DrawTrack %8.1f  (%.2fx the read)\n",
                vumo::bench::median(work), vumo::bench::median(work) / read);
    std::printf("OpenProject, whole               %8.1f  (%d paint waits)\n",
                vumo::bench::median(opens), kTracks + 1);
    std::printf("OpenProject without the waits    %8.1f  (%.2fx the read)\n",
                vumo::bench::median(openWork), vumo::bench::median(openWork) / read);
    std::printf("  of which CloseLib + OpenLib    %8.1f\n", vumo::bench::median(reopens));
    window.session().close();
    return 0;
}
