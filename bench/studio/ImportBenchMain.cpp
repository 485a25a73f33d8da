// vumo_import_bench: how much faster than real time a file is imported as a track, on one core:
// a 16-bit 44100 Hz wave file, a 24-bit 48 kHz wave file, a FLAC and an MP3 of the same music,
// made with the ffmpeg CLI, each decoded, converted and written as the track's wave file (synced
// to the disk and renamed into place) by the import itself.
//
// usage: vumo_import_bench [SECONDS [RUNS]]   (defaults: 600 s, 3 runs)
// Pins itself to the first core it may use, and prints per file the best wall time, its CPU
// time and the speed as a multiple of real time. Not a test: figures only (bench/README.md).
#include "tracks/TrackImport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#include <sched.h>
#include <time.h>

namespace
{

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// One core: the first this process may run on.
bool pinToOneCore()
{
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return false;
    for (int c = 0; c < CPU_SETSIZE; ++c)
        if (CPU_ISSET(c, &allowed))
        {
            cpu_set_t one;
            CPU_ZERO(&one);
            CPU_SET(c, &one);
            return sched_setaffinity(0, sizeof one, &one) == 0;
        }
    return false;
}

bool ffmpeg(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), QStringList{"-loglevel", "error", "-y"} + args);
    return p.waitForFinished(-1) && p.exitCode() == 0;
}

// Music-like test signal: a chord, a tone swept by a slow vibrato and a little noise, stereo.
bool makeSources(const QString& dir, int seconds)
{
    const QString lavfi =
        QStringLiteral(
            "aevalsrc=0.2*sin(2*PI*220*t)+0.15*sin(2*PI*277*t)+0.1*sin(2*PI*(440+20*sin(2*PI*0.3*t)"
            ")*t)"
            "+0.02*(random(0)-0.5)|0.2*sin(2*PI*330*t)+0.1*sin(2*PI*415*t)+0.02*(random(1)-0.5):"
            "s=44100:d=%1")
            .arg(seconds);
    const QString wav = dir + QStringLiteral("/music.wav");
    return ffmpeg({"-f", "lavfi", "-i", lavfi, "-c:a", "pcm_s16le", wav}) &&
           ffmpeg({"-i", wav, "-ar", "48000", "-c:a", "pcm_s24le", dir + "/music-48k24.wav"}) &&
           ffmpeg({"-i", wav, dir + "/music.flac"}) &&
           ffmpeg({"-i", wav, "-b:a", "192k", dir + "/music.mp3"});
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 600;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    QTemporaryDir dir;
    if (!makeSources(dir.path(), seconds))
    {
        std::fprintf(stderr, "ffmpeg could not make the test files\n");
        return 1;
    }
    if (!pinToOneCore())
        std::fprintf(stderr, "note: not pinned to one core\n");
    std::printf("| File | Length | Import (wall, best of %d) | CPU | Speed |\n", runs);
    std::printf("|---|---:|---:|---:|---:|\n");
    for (const char* name : {"music.wav", "music-48k24.wav", "music.flac", "music.mp3"})
    {
        double wall = 1e30, cpu = 0;
        int64_t frames = 0;
        for (int run = 0; run < runs; ++run)
        {
            QElapsedTimer timer;
            const double cpuStart = cpuSeconds();
            timer.start();
            const vumo::tracks::ImportResult r = vumo::tracks::importAudio(
                dir.filePath(name), dir.filePath(QStringLiteral("track.wav")), int64_t(1) << 26);
            const double s = double(timer.nsecsElapsed()) / 1e9;
            if (!r.error.isEmpty())
            {
                std::fprintf(stderr, "%s: %s\n", name, qPrintable(r.error));
                return 1;
            }
            if (s < wall)
                wall = s, cpu = cpuSeconds() - cpuStart;
            frames = r.frames;
        }
        const double length = double(frames) / 44100.0;
        std::printf("| %s | %.1f s | %.0f ms | %.0f ms | %.0fx |\n", name, length, wall * 1000,
                    cpu * 1000, length / wall);
    }
    return 0;
}
