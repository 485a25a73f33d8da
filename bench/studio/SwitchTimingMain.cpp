// vumo_switch_timing: how long a track switch and a project opening take, to the drawn window,
// in a project of 16 tracks of 4 MB, beside plainly reading the same files. Prints one line per
// figure.
// Usage: vumo_switch_timing [runs]   (the real engine on its virtual devices, offscreen)
#include "StudioBench.h"
#include "StudioRig.h"
#include "dialogs/FrmMessage.h"
#include "platform/WaveHeader.h"
#include "project/ProjectFile.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>

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
    const vumo::bench::StudioHome home;

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
            reads.push_back(double(t.nsecsElapsed()) / 1e6);
    }

    vumo::bench::StudioWindow studio(home);
    vumo::EngineApi& engine = studio.engine;
    vumo::frmVumo& window = studio.window;

    // The message window shown and painted on its own, as each command shows it once.
    std::vector<double> shows;
    for (int r = 0; r < runs; ++r)
    {
        vumo::FrmMessage message(&window);
        QElapsedTimer t;
        t.start();
        message.Init();
        shows.push_back(double(t.nsecsElapsed()) / 1e6);
        message.hide();
    }

    // From Open to the drawn window: the command, then the window painted with its picture.
    std::vector<double> opens;
    for (int r = 0; r < runs; ++r)
    {
        QElapsedTimer t;
        t.start();
        window.OpenProject(projectPath);
        window.repaint();
        opens.push_back(double(t.nsecsElapsed()) / 1e6);
    }

    auto* list = window.findChild<QComboBox*>(QStringLiteral("cboTrack"));
    std::vector<double> switches; // choosing a track in the list to the drawn window
    std::vector<double> work;     // push, premix and load, draw: the engine's part and the view
    for (int r = 0; r < runs; ++r)
    {
        QElapsedTimer t;
        t.start();
        list->setCurrentIndex(r % 2 == 0 ? 3 : 12);
        window.repaint();
        switches.push_back(double(t.nsecsElapsed()) / 1e6);

        const int k = r % 2 == 0 ? 12 : 3;
        t.restart();
        window.PushAllTracks();
        engine.SetCurTrack(k, -1);
        window.DrawTrack();
        work.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    // The engine's own reopening, which every opening includes.
    std::vector<double> reopens;
    for (int r = 0; r < runs; ++r)
    {
        QElapsedTimer t;
        t.start();
        engine.CloseLib();
        engine.OpenLib(kFrames, 0);
        reopens.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    const double read = vumo::bench::median(reads);
    std::printf("tracks %d x %d MB, %d runs, medians in ms\n", kTracks, kMB, runs);
    std::printf("plain read of the 16 files       %8.1f\n", read);
    std::printf("message window shown and painted %8.1f\n", vumo::bench::median(shows));
    std::printf("SwitchTrack to the drawn window  %8.1f  (%.2fx the read; target 50)\n",
                vumo::bench::median(switches), vumo::bench::median(switches) / read);
    std::printf("  push + SetCurTrack + DrawTrack %8.1f  (%.2fx the read)\n",
                vumo::bench::median(work), vumo::bench::median(work) / read);
    std::printf("Open to the drawn window         %8.1f  (%.2fx the read; target 500)\n",
                vumo::bench::median(opens), vumo::bench::median(opens) / read);
    std::printf("  of which CloseLib + OpenLib    %8.1f\n", vumo::bench::median(reopens));
    window.session().close();
    return 0;
}
