// vumo_undo_timing: how long an undo and a redo step over the whole of a 4-minute stereo track
// take through the main window, and what keeping the step adds to Echo and Band Pass over the
// whole track; beside them the sample-by-sample way through TrackRead and TrackWrite the steps do
// not take. Usage: vumo_undo_timing [runs]   (the real engine on its virtual devices, offscreen)
#include "StudioBench.h"
#include "StudioRig.h"
#include "fx/EffectCatalog.h"
#include "fx/EffectSetting.h"
#include "platform/WaveHeader.h"
#include "project/ProjectFile.h"
#include "undo/UndoSteps.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{

constexpr int32_t kFrames = 10584000; // 4 minutes at 44100 Hz
constexpr int32_t kMB = (kFrames + 262143) / 262144;

// Two tones and a little noise, not silence.
bool writeTrack(const QString& path)
{
    QByteArray b(qint64(platform::kWaveHeaderBytes) + qint64(kFrames) * 4, '\0');
    platform::fillWaveHeader(reinterpret_cast<uint8_t*>(b.data()), kFrames);
    auto* s = reinterpret_cast<int16_t*>(b.data() + platform::kWaveHeaderBytes);
    uint32_t noise = 1;
    for (int32_t f = 0; f < kFrames; ++f)
    {
        noise = noise * 1664525u + 1013904223u;
        const double v = 6000.0 * std::sin(6.283185307179586 * 220.0 * f / 44100.0) +
                         double(noise >> 22) - 512.0;
        s[2 * f] = int16_t(v);
        s[2 * f + 1] = int16_t(-v / 2);
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
}

double timeMs(const std::function<void()>& work)
{
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    vumo::bench::useQuietOffscreen();
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const vumo::bench::StudioHome home;
    vumo::project::ProjectData data = vumo::project::newProjectData(kMB);
    const QString trackPath = home.filePath(QStringLiteral("song.wav"));
    if (!writeTrack(trackPath))
        return 1;
    data.tracks.append({QByteArray("song"), QFile::encodeName(trackPath)});
    const QString projectPath = home.filePath(QStringLiteral("song.vum"));
    vumo::project::writeProject(projectPath, data);

    vumo::bench::StudioWindow studio(home);
    vumo::EngineApi& engine = studio.engine;
    vumo::frmVumo& window = studio.window;
    window.OpenProject(projectPath);
    // An effect over the whole track without a step, with its step taken from the image written
    // while the studio was idle, and with its step written first (no image: right after another
    // change); and the image's write itself (medians).
    const auto effectTimes = [&](const char* menuItem)
    {
        vumo::fx::EffectSetting setting;
        const int32_t code = vumo::fx::codeFromMenuItem(menuItem);
        vumo::fx::fillDefaults(setting, code);
        vumo::fx::orderBandPass(setting);
        const auto run = [&]
        { engine.FXIt(code, 0, kFrames, setting.value1, setting.value2, setting.value3); };
        const auto keptAndRun = [&]
        {
            window.keepStep(0, kFrames, QStringLiteral("Effect"));
            run();
        };
        std::vector<double> plain, imaged, written, image;
        for (int r = 0; r < runs; ++r)
        {
            plain.push_back(timeMs(run));
            engine.Undo();
            written.push_back(timeMs(keptAndRun));
            window.undoSteps().dropTrack(0);
            engine.Undo();
            image.push_back(timeMs([&] { window.undoSteps().prepareImage(0, kFrames); }));
            imaged.push_back(timeMs(keptAndRun));
            if (r + 1 == runs)
                break; // the last run's step stays for the undo and redo below
            window.undoSteps().dropTrack(0);
            engine.Undo();
        }
        return std::array{vumo::bench::median(plain), vumo::bench::median(imaged),
                          vumo::bench::median(written), vumo::bench::median(image)};
    };
    std::printf("track %d frames (4 min stereo), %d runs, medians in ms\n", kFrames, runs);
    for (const char* item : {"mnuFXBandPass", "mnuFXEcho"})
    {
        const auto [plainMs, imagedMs, writtenMs, imageMs] = effectTimes(item);
        const auto more = [plainMs](double ms) { return 100.0 * (ms - plainMs) / plainMs; };
        std::printf("%-14s FXIt over the track %7.1f, its step taken from the image %7.1f (%+.0f "
                    "%%), its step written first %7.1f (%+.0f %%); the image written while idle "
                    "%7.1f\n",
                    item, plainMs, imagedMs, more(imagedMs), writtenMs, more(writtenMs), imageMs);
    }

    std::vector<double> undo, redo, readAll, writeAll, copyTo, unsynced;
    const QByteArray copyPath = QFile::encodeName(home.filePath(QStringLiteral("copy.wav")));
    const QByteArray bytes(qint64(kFrames) * 4 + 44, 'x');
    for (int r = 0; r < runs; ++r)
    {
        // The Echo's step is there: undone, redone, undone ... (each over the whole track).
        undo.push_back(timeMs([&] { window.mnuEditUndoStep(); }));
        redo.push_back(timeMs([&] { window.mnuEditRedoStep(); }));
        copyTo.push_back(timeMs([&] { engine.CopyTo(0, kFrames, copyPath.constData()); }));
        QFile::remove(QString::fromLocal8Bit(copyPath));
        unsynced.push_back(timeMs(
            [&]
            {
                QFile f(QString::fromLocal8Bit(copyPath));
                if (f.open(QIODevice::WriteOnly))
                    f.write(bytes);
            }));
        QFile::remove(QString::fromLocal8Bit(copyPath));
        std::vector<int16_t> samples(2 * size_t(kFrames));
        readAll.push_back(timeMs(
            [&]
            {
                for (int32_t i = 0; i < 2 * kFrames; ++i)
                    samples[size_t(i)] = int16_t(engine.TrackRead(i));
            }));
        writeAll.push_back(timeMs(
            [&]
            {
                for (int32_t i = 0; i < 2 * kFrames; ++i)
                    engine.TrackWrite(i, samples[size_t(i)]);
            }));
    }
    std::printf("undo step over the track (Ctrl+Z, redrawn)   %9.1f\n", vumo::bench::median(undo));
    std::printf("redo step over the track (Ctrl+Shift+Z)      %9.1f\n", vumo::bench::median(redo));
    std::printf("CopyTo of the track (a step's write, synced)  %9.1f\n",
                vumo::bench::median(copyTo));
    std::printf("the same bytes written unsynced (QFile)      %9.1f\n",
                vumo::bench::median(unsynced));
    std::printf("TrackRead of every sample (not used)         %9.1f\n",
                vumo::bench::median(readAll));
    std::printf("TrackWrite of every sample (not used)        %9.1f\n",
                vumo::bench::median(writeAll));
    window.CloseProject();
    return 0;
}
