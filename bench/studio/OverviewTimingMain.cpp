// vumo_overview_timing: how long the track strip's overviews of 17 tracks of 4 minutes take in
// the background and how long the window thread waits meanwhile; the strip's own cost in a
// project opening; and what drawing the picture from an overview saves. Prints one line per
// figure. Usage: vumo_overview_timing [runs]  (the real engine on its virtual devices, offscreen)
#include "StudioBench.h"
#include "StudioRig.h"
#include "platform/WaveHeader.h"
#include "project/ProjectFile.h"
#include "view/Overviews.h"
#include "view/TrackStrip.h"
#include "view/WaveformView.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

constexpr int kFourMinutes = 4 * 60 * 44100; // frames

bool writeTrack(const QString& path, int frames, int seed)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const auto header = platform::waveHeader(uint32_t(frames));
    f.write(reinterpret_cast<const char*>(header.data()), qint64(header.size()));
    std::vector<int16_t> piece(2 * 44100);
    for (int at = 0; at < frames; at += 44100)
    {
        const int n = std::min(44100, frames - at);
        for (int i = 0; i < 2 * n; ++i)
            piece[size_t(i)] = int16_t(((at * 2 + i) * (seed + 3)) % 20000 - 10000);
        f.write(reinterpret_cast<const char*>(piece.data()), qint64(n) * 4);
    }
    return true;
}

// Runs the window's events until every file has its overview for the file as it is now (a minute
// at most).
void waitForOverviews(const vumo::view::Overviews& overviews, const QStringList& files)
{
    const auto ready = [&]
    {
        return std::all_of(files.begin(), files.end(),
                           [&](const QString& f) {
                               return overviews.findAt(f, vumo::view::FileStamp::of(f)) != nullptr;
                           });
    };
    const QDeadlineTimer deadline(60000);
    while (!ready() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

// The track files of the project open in model.
QStringList trackFiles(const vumo::ProjectModel& model)
{
    QStringList files;
    for (int k = 0; k < model.mod().trackCount; ++k)
        files << QFile::decodeName(model.mod().tracks[k].fileName.text());
    return files;
}

// Overviews of every file in the background: the time to the last one, and the longest the
// window thread went without running its 5 ms timer meanwhile.
std::pair<double, double> overviewsInBackground(const QStringList& files)
{
    vumo::view::Overviews overviews;
    QElapsedTimer t, gap;
    double longestGap = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout,
                     [&]
                     {
                         longestGap = std::max(longestGap, double(gap.nsecsElapsed()) / 1e6);
                         gap.restart();
                     });
    t.start();
    gap.start();
    tick.start();
    overviews.follow(files);
    waitForOverviews(overviews, files);
    return {double(t.nsecsElapsed()) / 1e6, longestGap};
}

} // namespace

int main(int argc, char* argv[])
{
    vumo::bench::useQuietOffscreen();
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const vumo::bench::StudioHome home;

    QStringList long17;
    for (int k = 0; k < 17; ++k)
    {
        long17 << home.filePath(QStringLiteral("long%1.wav").arg(k));
        writeTrack(long17.back(), kFourMinutes, k);
    }
    std::vector<double> backgrounds, gaps, reads, plain;
    std::vector<char> buffer(size_t(kFourMinutes) * 4 + 44);
    for (int r = 0; r < runs; ++r)
    {
        const auto [ms, gap] = overviewsInBackground(long17);
        backgrounds.push_back(ms);
        gaps.push_back(gap);
        QElapsedTimer t;
        t.start();
        vumo::view::readOverview(long17[r % 17]);
        reads.push_back(double(t.nsecsElapsed()) / 1e6);
        t.restart();
        QFile f(long17[r % 17]);
        f.open(QIODevice::ReadOnly);
        f.read(buffer.data(), qint64(buffer.size()));
        plain.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("17 tracks of 4 minutes (42 MB each), %d runs, medians in ms\n", runs);
    std::printf("overviews of the 17 in the background   %8.1f\n",
                vumo::bench::median(backgrounds));
    std::printf("  longest wait of the window's timer    %8.1f\n", vumo::bench::median(gaps));
    std::printf("one overview, read and scanned          %8.1f\n", vumo::bench::median(reads));
    std::printf("  plain read of the same file           %8.1f\n", vumo::bench::median(plain));

    // The window: a project of one 4-minute track drawn with and without its overview, and the
    // strip's own part of opening a project of 16 tracks of 4 MB.
    vumo::project::ProjectData data = vumo::project::newProjectData(41);
    data.tracks.append({QByteArrayLiteral("t1"), QFile::encodeName(long17[0])});
    const QString longProject = home.filePath(QStringLiteral("long.vum"));
    vumo::project::writeProject(longProject, data);
    vumo::project::ProjectData sixteen = vumo::project::newProjectData(4);
    for (int k = 0; k < 16; ++k)
    {
        const QString path = home.filePath(QStringLiteral("short%1.wav").arg(k));
        writeTrack(path, 4 * 262144, k);
        sixteen.tracks.append({QStringLiteral("t%1").arg(k + 1).toUtf8(), QFile::encodeName(path)});
    }
    const QString sixteenProject = home.filePath(QStringLiteral("sixteen.vum"));
    vumo::project::writeProject(sixteenProject, sixteen);

    vumo::bench::StudioWindow studio(home);
    vumo::ProjectModel& model = studio.model;
    vumo::frmVumo& window = studio.window;
    window.OpenProject(longProject);
    waitForOverviews(window.overviews(), trackFiles(model));
    window.DrawTrack();
    const bool used = window.picView()->overview() != nullptr;
    std::vector<double> withOverview, withoutOverview;
    for (int r = 0; r < runs; ++r)
    {
        QElapsedTimer t;
        t.start();
        window.DrawTrack();
        withOverview.push_back(double(t.nsecsElapsed()) / 1e6);
        window.picView()->setOverview(nullptr);
        t.restart();
        window.picView()->DrawTrack();
        withoutOverview.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("picture of a 4-minute track, zoom 1     %8.1f  from the overview%s\n",
                vumo::bench::median(withOverview), used ? "" : " (NOT USED)");
    std::printf("  the same read frame by frame          %8.1f\n",
                vumo::bench::median(withoutOverview));

    std::vector<double> refreshes, paints, opens;
    for (int r = 0; r < runs; ++r)
    {
        QElapsedTimer t;
        t.start();
        window.OpenProject(sixteenProject);
        opens.push_back(double(t.nsecsElapsed()) / 1e6);
        waitForOverviews(window.overviews(), trackFiles(model));
        t.restart();
        window.trackStrip()->refresh(0);
        refreshes.push_back(double(t.nsecsElapsed()) / 1e6);
        t.restart();
        window.trackStrip()->repaint();
        paints.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("16 tracks of 4 MB: OpenProject, whole   %8.1f  (message windows included)\n",
                vumo::bench::median(opens));
    std::printf("  strip refresh (17 looks at the files) %8.3f  (once per track handed over)\n",
                vumo::bench::median(refreshes));
    std::printf("  strip paint with 16 overviews         %8.1f\n", vumo::bench::median(paints));
    window.session().close();
    return 0;
}
