// vumo_capture_timing: how long "&Rip MCI" takes against the media's length (at real time), and
// how long "&SK1 Mode" takes to render 500 recorded notes of a 2-second clip. Not a test: run
// it by hand (the real engine on its virtual devices, offscreen); figures in
// bench/media/results.md.
// Usage: vumo_capture_timing rip [runs]   media of 5 s at VUMO_VIRTUAL_SPEED=1
//        vumo_capture_timing sk1 [runs]   the pass at 50 times real time, the render timed alone
#include "../../tests/app/StudioFixture.h"
#include "StudioBench.h"
#include "project/ProjectFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace vumo;
using namespace vumo::test;

namespace
{

// Wall-clock marks taken inside the exports the commands call.
QElapsedTimer wall;
qint64 recordStarted = 0, recordReturned = 0, passEnded = 0, stopCalled = 0, stopReturned = 0,
       renderStarted = 0;
int32_t wordsRecorded = 0;
decltype(&::RecordTrack) realRecordTrack = nullptr;
decltype(&::StopTracks) realStopTracks = nullptr;
decltype(&::IsPlaying) realIsPlaying = nullptr;
decltype(&::GetPosition) realGetPosition = nullptr;
int32_t passFrames = 0;
decltype(&::LoadSK1) realLoadSK1 = nullptr;

int32_t RecordTrackMark(int32_t start, int32_t end, int32_t merge)
{
    recordStarted = wall.nsecsElapsed();
    const int32_t r = realRecordTrack(start, end, merge);
    recordReturned = wall.nsecsElapsed();
    return r;
}
// The pass ends for the studio at the first look that finds the engine no longer playing or
// its position at the selection's end.
void markPassEnd(bool ended)
{
    if (ended && passEnded < recordStarted)
        passEnded = wall.nsecsElapsed();
}
int32_t IsPlayingMark()
{
    const int32_t r = realIsPlaying();
    markPassEnd(r == 0);
    return r;
}
int32_t GetPositionMark()
{
    const int32_t r = realGetPosition();
    markPassEnd(r >= passFrames);
    return r;
}
int32_t StopTracksMark(int32_t start, int32_t end, int32_t merge)
{
    stopCalled = wall.nsecsElapsed();
    const int32_t r = realStopTracks(start, end, merge);
    stopReturned = wall.nsecsElapsed();
    return r;
}
int32_t LoadSK1Mark(const char* file)
{
    renderStarted = wall.nsecsElapsed();
    const auto recordLength =
        reinterpret_cast<decltype(&::GetRecordLength)>(EngineSpy::resolve("GetRecordLength"));
    wordsRecorded = recordLength() + 1;
    return realLoadSK1(file);
}

QFunctionPointer resolve(const char* name)
{
    const QFunctionPointer real = EngineSpy::resolve(name);
    const QByteArray n(name);
    if (n == "RecordTrack")
        return realRecordTrack = reinterpret_cast<decltype(realRecordTrack)>(real),
               reinterpret_cast<QFunctionPointer>(&RecordTrackMark);
    if (n == "StopTracks")
        return realStopTracks = reinterpret_cast<decltype(realStopTracks)>(real),
               reinterpret_cast<QFunctionPointer>(&StopTracksMark);
    if (n == "GetPosition")
        return realGetPosition = reinterpret_cast<decltype(realGetPosition)>(real),
               reinterpret_cast<QFunctionPointer>(&GetPositionMark);
    if (n == "IsPlaying")
        return realIsPlaying = reinterpret_cast<decltype(realIsPlaying)>(real),
               reinterpret_cast<QFunctionPointer>(&IsPlayingMark);
    if (n == "LoadSK1")
        return realLoadSK1 = reinterpret_cast<decltype(realLoadSK1)>(real),
               reinterpret_cast<QFunctionPointer>(&LoadSK1Mark);
    return real;
}

std::vector<int16_t> tone(int frames, double hz)
{
    std::vector<int16_t> s(2 * size_t(frames));
    for (int f = 0; f < frames; ++f)
        s[2 * size_t(f)] = s[2 * size_t(f) + 1] =
            int16_t(std::lround(8000 * std::sin(2 * M_PI * hz * f / 44100.0)));
    return s;
}

} // namespace

int main(int argc, char* argv[])
{
    bench::useQuietOffscreen();
    const bool rip = argc > 1 && QByteArray(argv[1]) == "rip";
    if (argc < 2 || (!rip && QByteArray(argv[1]) != "sk1"))
    {
        std::fprintf(stderr, "usage: vumo_capture_timing rip|sk1 [runs]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    // The MIDI clock reads the speed once: set it before anything runs.
    useVirtualDevices(rip ? "1" : "50");
    QApplication app(argc, argv);
    wall.start();
    MainWindowFixture f{&resolve};
    frmVumo& w = *f.window;
    w.setMemoryProbe([] { return MemoryStatus{uint64_t(64) << 30, uint64_t(32) << 30}; });
    w.CLIPFILE = f.home.filePath(QStringLiteral("clipper.wav"));
    w.show();
    project::ProjectData data = project::newProjectData(4); // 23.8 s of track
    data.projTitle = "Timing";
    data.tracks.append({"t1", QFile::encodeName(f.home.filePath("t1.wav"))});
    writeWave(f.home.filePath("t1.wav"), tone(1000, 100));
    project::writeProject(f.home.filePath("Timing.vum"), data);
    w.OpenProject(f.home.filePath("Timing.vum"));
    child<QComboBox>(w, "cboTrack")->setCurrentIndex(0);

    if (rip)
    {
        constexpr int kMediaFrames = 5 * 44100;
        passFrames = kMediaFrames;
        const QString wav = f.home.filePath("five.wav"), mp3 = f.home.filePath("five.mp3");
        writeWave(wav, tone(kMediaFrames, 440));
        QProcess::execute("ffmpeg", {"-loglevel", "error", "-y", "-i", wav, mp3});
        std::printf("Rip MCI of 5.000 s media into a 5 s selection, at real time; %d runs, "
                    "medians in ms\n",
                    runs);
        // An empty media: the same pass through Record (the wave input), for comparison.
        for (const QString& media : {QString(), wav, mp3})
        {
            // The command, and its parts: before the pass (probe, PrepareTransport), the pass
            // from RecordTrack to the wait's end (the engine found no longer playing), the
            // message window's paint wait ("Saving recorded track..."), the commit
            // (StopTracks), after it (redraw).
            std::vector<double> commands, before, passes, paints, commits, after;
            for (int r = 0; r < runs; ++r)
            {
                w.selection().selStart = 0;
                w.selection().selEnd = kMediaFrames;
                if (!media.isEmpty())
                {
                    f.ui.answers.push_back(Answer::Yes);
                    f.ui.files.push_back(media);
                }
                const qint64 t0 = wall.nsecsElapsed();
                if (media.isEmpty())
                    w.mnuControlRecord();
                else
                    w.mnuControlRip();
                const qint64 t1 = wall.nsecsElapsed();
                commands.push_back(double(t1 - t0) / 1e6);
                before.push_back(double(recordStarted - t0) / 1e6);
                passes.push_back(double(passEnded - recordStarted) / 1e6);
                paints.push_back(double(stopCalled - passEnded) / 1e6);
                commits.push_back(double(stopReturned - stopCalled) / 1e6);
                after.push_back(double(t1 - stopReturned) / 1e6);
            }
            std::printf("%-9s command %7.1f (worst %7.1f) = before %5.1f + pass %7.1f (worst "
                        "%7.1f) + paint wait %5.1f + StopTracks %5.1f + after %5.1f\n",
                        media.isEmpty() ? "Record" : qPrintable(QFileInfo(media).fileName()),
                        bench::median(commands),
                        *std::max_element(commands.begin(), commands.end()), bench::median(before),
                        bench::median(passes), *std::max_element(passes.begin(), passes.end()),
                        bench::median(paints), bench::median(commits), bench::median(after));
        }
    }
    else
    {
        // 500 notes, one every 20 ms over 10 s at velocity 100, cycling through the two
        // octaves from `lowest` up: from middle C (ratios 1 to 4, each note 0.5 to 2 s long)
        // and from two octaves below it (ratios 0.25 to 1, each note 2 to 8 s long).
        writeWave(w.CLIPFILE, tone(2 * 44100, 261.6));
        std::printf("SK1 Mode: 500 notes of a 2-second clip; %d runs, render (LoadSK1 to the "
                    "end of the command) in ms\n",
                    runs);
        for (int lowest : {60, 36})
        {
            QFile events(f.home.filePath("keys.txt"));
            events.open(QIODevice::WriteOnly);
            for (int k = 0; k < 500; ++k)
                events.write(
                    QStringLiteral("%1 144 %2 100\n").arg(20 * k).arg(lowest + k % 25).toLatin1());
            events.close();
            qputenv("VUMO_VIRTUAL_MIDI_IN", QFile::encodeName(events.fileName()));
            std::vector<double> renders;
            for (int r = 0; r < runs; ++r)
            {
                w.selection().selStart = 0;
                w.selection().selEnd = 11 * 44100; // the pass: 11 s at 50 times real time
                f.ui.answers = {Answer::Yes, Answer::Yes};
                w.mnuControlSK1();
                renders.push_back(double(wall.nsecsElapsed() - renderStarted) / 1e6);
                if (wordsRecorded != 1000)
                    std::printf("  (run %d recorded %d notes)\n", r + 1, wordsRecorded / 2);
            }
            std::printf("notes %d to %d: median %7.1f  worst %7.1f\n", lowest, lowest + 24,
                        bench::median(renders), *std::max_element(renders.begin(), renders.end()));
        }
    }
    w.session().close();
    return 0;
}
