// vumo_fx_timing: how long Echo, Band Pass and FFT Pitch take over the whole of a 4-minute
// stereo track through the F&X menu and through a one-entry chain, beside the engine's own FXIt
// over the same range; and the studio's fade in samples per second. Prints one line per figure.
// Usage: vumo_fx_timing [runs [min]]   (the real engine on its virtual devices, offscreen)
#include "StudioBench.h"
#include "StudioRig.h"
#include "fx/EffectCatalog.h"
#include "fx/EffectDispatch.h"
#include "fx/EffectSetting.h"
#include "fx/FxEngine.h"
#include "platform/WaveHeader.h"
#include "project/ProjectFile.h"
#include "view/WaveformView.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace
{

constexpr int32_t kFrames = 10584000; // 4 minutes at 44100 Hz
constexpr int32_t kMB = (kFrames + 262143) / 262144;
constexpr double kTwoPi = 6.283185307179586;
constexpr qint64 kFileBytes = qint64(platform::kWaveHeaderBytes) + qint64(kFrames) * 4;

// A track with some music-like content: two tones and a little noise, not silence.
bool writeTrack(const QString& path)
{
    QByteArray b(kFileBytes, '\0');
    char* p = b.data();
    platform::fillWaveHeader(reinterpret_cast<uint8_t*>(p), kFrames);
    auto* s = reinterpret_cast<int16_t*>(p + platform::kWaveHeaderBytes);
    uint32_t noise = 1;
    for (int32_t f = 0; f < kFrames; ++f)
    {
        noise = noise * 1664525u + 1013904223u;
        const double t = f / 44100.0;
        const double v = 6000.0 * std::sin(kTwoPi * 220.0 * t) +
                         3000.0 * std::sin(kTwoPi * 1375.0 * t) + double(noise >> 22) - 512.0;
        s[2 * f] = int16_t(v);
        s[2 * f + 1] = int16_t(-v / 2);
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
}

// "min" as the second argument reports the fastest run instead of the median (steadier on a
// machine shared with other work).
bool g_fastest = false;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return g_fastest ? v.front() : v[v.size() / 2];
}

double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

struct Effect
{
    const char* menuItem;
    int32_t code;
};

} // namespace

int main(int argc, char* argv[])
{
    vumo::bench::useQuietOffscreen();
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    g_fastest = argc > 2 && QByteArray(argv[2]) == "min";
    const vumo::bench::StudioHome home;

    vumo::project::ProjectData data = vumo::project::newProjectData(kMB);
    const QString trackPath = home.filePath(QStringLiteral("song.wav"));
    if (!writeTrack(trackPath))
    {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(trackPath));
        return 1;
    }
    data.tracks.append({QByteArray("song"), QFile::encodeName(trackPath)});
    const QString projectPath = home.filePath(QStringLiteral("song.vum"));
    vumo::project::writeProject(projectPath, data);

    vumo::bench::StudioWindow studio(home);
    vumo::EngineApi& engine = studio.engine;
    vumo::ScriptedUiServices& ui = studio.ui;
    vumo::frmVumo& window = studio.window;
    window.OpenProject(projectPath);
    auto* tracks = window.findChild<QComboBox*>(QStringLiteral("cboTrack"));
    tracks->setCurrentIndex(0);
    const auto selectWhole = [&]
    {
        window.selection().selStart = 0;
        window.selection().selEnd = kFrames;
    };
    selectWhole();
    vumo::fx::FxEngineOver<vumo::EngineApi> fxEngine(engine);
    // Every run starts from the track as its file holds it (not timed).
    const auto restore = [&]
    {
        engine.Undo();
        selectWhole();
    };
    restore();

    // The view's redraw alone: the picture of the whole track, then its paint.
    std::vector<double> redraws;
    for (int r = 0; r < runs; ++r)
    {
        QElapsedTimer t;
        t.start();
        window.DrawTrack();
        window.picView()->repaint();
        redraws.push_back(ms(t.nsecsElapsed()));
    }
    const double redraw = median(redraws);

    // OK in the scripted dialog starts the clock.
    QElapsedTimer clock;
    const auto okNow = [&clock](QDialog& d)
    {
        clock.start();
        d.findChild<QAbstractButton*>(QStringLiteral("OKButton"))->click();
    };

    std::printf("track %d frames (4 min stereo), %d runs, %s in ms\n", kFrames, runs,
                g_fastest ? "fastest runs" : "medians");
    std::printf("redraw of the view (DrawTrack + paint)       %9.1f\n", redraw);
    // The chain's own engine work besides FXIt: FilterGraph 1 (copy out) and 2 (mix back).
    std::vector<double> graphs;
    for (int r = 0; r < runs; ++r)
    {
        QElapsedTimer t;
        t.start();
        engine.FilterGraph(1, 0, kFrames);
        engine.FilterGraph(2, 0, kFrames);
        graphs.push_back(ms(t.nsecsElapsed()));
        restore();
    }
    const double graph = median(graphs);
    std::printf("FilterGraph 1 + 2 over the track (chain only) %9.1f\n", graph);
    const Effect effects[] = {{"mnuFXEcho", 0}, {"mnuFXBandPass", 0}, {"mnuFXfftPitch", 0}};
    for (Effect e : effects)
    {
        e.code = vumo::fx::codeFromMenuItem(e.menuItem);
        vumo::fx::EffectSetting setting;
        vumo::fx::fillDefaults(setting, e.code);
        vumo::fx::orderBandPass(setting);

        // (1) The engine's own FXIt over the whole track.
        std::vector<double> direct;
        for (int r = 0; r < runs; ++r)
        {
            QElapsedTimer t;
            t.start();
            const int32_t rc =
                engine.FXIt(e.code, 0, kFrames, setting.value1, setting.value2, setting.value3);
            direct.push_back(ms(t.nsecsElapsed()));
            if (rc != 0)
                std::fprintf(stderr, "FXIt %d: %d\n", e.code, rc);
            restore();
        }

        // (1b) The same FXIt right after a pause as long as the message window's paint wait
        // (the event loop idle for 250 ms), as the menu path runs it.
        std::vector<double> paused;
        for (int r = 0; r < runs; ++r)
        {
            QElapsedTimer idle;
            idle.start();
            while (idle.elapsed() < 250)
                QCoreApplication::processEvents(
                    QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
            QElapsedTimer t;
            t.start();
            engine.FXIt(e.code, 0, kFrames, setting.value1, setting.value2, setting.value3);
            paused.push_back(ms(t.nsecsElapsed()));
            restore();
        }

        // (2a) The menu item through the main window: OK to the painted view, the message window
        // shown and painted on the way.
        std::vector<double> menuWhole;
        QAction* item = window.findChild<QAction*>(QString::fromLatin1(e.menuItem));
        for (int r = 0; r < runs; ++r)
        {
            ui.dialogs.push_back(okNow);
            item->trigger();
            window.picView()->repaint();
            menuWhole.push_back(ms(clock.nsecsElapsed()));
            restore();
        }

        // (2b) dispatchEffect with hooks that redraw the view and show no message window.
        std::vector<double> dispatch;
        const vumo::fx::FxStudioHooks hooks{{}, {}, [&] { window.DrawTrack(); }};
        for (int r = 0; r < runs; ++r)
        {
            vumo::fx::EffectSetting live;
            ui.dialogs.push_back(okNow);
            vumo::fx::dispatchEffect(e.code, live, {0, kFrames}, fxEngine, ui, hooks, &window);
            window.picView()->repaint();
            dispatch.push_back(ms(clock.nsecsElapsed()));
            restore();
        }

        // (3) A one-entry chain through F&X > FX List: Apply to the painted view.
        std::vector<double> chain;
        const QString listName = QString::fromLatin1(vumo::fx::listNameOfCode(e.code));
        QAction* fxList = window.findChild<QAction*>(QStringLiteral("mnuFXList"));
        for (int r = 0; r < runs; ++r)
        {
            ui.dialogs.push_back(
                [&](QDialog& d)
                {
                    auto* available = d.findChild<QListWidget*>(QStringLiteral("lstAvailable"));
                    available->setCurrentItem(available->findItems(listName, Qt::MatchExactly)[0]);
                    ui.dialogs.push_back(
                        [](QDialog& fx)
                        { fx.findChild<QAbstractButton*>(QStringLiteral("OKButton"))->click(); });
                    d.findChild<QAbstractButton*>(QStringLiteral("cmdAdd"))->click();
                    clock.start();
                    d.findChild<QAbstractButton*>(QStringLiteral("cmdApply"))->click();
                });
            fxList->trigger();
            window.picView()->repaint();
            chain.push_back(ms(clock.nsecsElapsed()));
            restore();
        }

        const double fx = median(direct);
        std::printf("%-14s FXIt direct                   %9.1f\n", e.menuItem, fx);
        std::printf("           FXIt after a 250 ms pause           %9.1f\n", median(paused));
        std::printf("           menu, OK to the painted view        %9.1f  (%.3fx FXIt; "
                    "allowed %.1f)\n",
                    median(menuWhole), median(menuWhole) / fx, 1.1 * fx + redraw);
        std::printf("           dispatchEffect, no message window   %9.1f  (%.3fx FXIt)\n",
                    median(dispatch), median(dispatch) / fx);
        std::printf("           chain Apply (FilterGraph 1, FXIt, 2) %8.1f  (%.3fx FXIt; "
                    "allowed %.1f)\n",
                    median(chain), median(chain) / fx, 1.1 * fx + redraw);
        std::printf("           chain less FilterGraph 1 + 2        %9.1f  (%.3fx FXIt)\n",
                    median(chain) - graph, (median(chain) - graph) / fx);
    }
    if (!ui.messages().isEmpty())
        std::fprintf(stderr, "messages shown: %s\n", qPrintable(ui.messages().join(" | ")));

    // The studio's fade over the whole track, 0 to 255, as the F&X menu runs it.
    const double samples = 2.0 * kFrames + 1;
    std::vector<double> fades;
    for (int r = 0; r < runs; ++r)
    {
        QElapsedTimer t;
        t.start();
        vumo::fx::applyFade(fxEngine, {0, kFrames}, 0, 255);
        fades.push_back(ms(t.nsecsElapsed()));
        restore();
    }
    // Where the fade's time goes: the calls alone (read and write back each sample) and the
    // arithmetic alone (the same factor and rounding over a buffer in memory).
    std::vector<double> callsOnly;
    for (int r = 0; r < runs; ++r)
    {
        QElapsedTimer t;
        t.start();
        for (int64_t s = 0; s <= 2 * int64_t(kFrames); ++s)
            fxEngine.TrackWrite(int32_t(s), fxEngine.TrackRead(int32_t(s)));
        callsOnly.push_back(ms(t.nsecsElapsed()));
    }
    std::vector<int16_t> buffer(size_t(2 * kFrames + 1), 1234);
    std::vector<double> mathOnly;
    for (int r = 0; r < runs; ++r)
    {
        QElapsedTimer t;
        t.start();
        const double a = 0.0;
        const double b = 255 / 256.0;
        const int64_t n = 2 * int64_t(kFrames);
        const double step = (b - a) / double(n);
        for (int64_t s = 0; s <= n; ++s)
        {
            const double factor = s == n ? b : a + double(s) * step;
            buffer[size_t(s)] = int16_t(vumo::fx::roundHalfEven(buffer[size_t(s)] * factor));
        }
        mathOnly.push_back(ms(t.nsecsElapsed()));
        std::fill(buffer.begin(), buffer.end(), int16_t(1234));
    }
    const double fade = median(fades);
    std::printf("fade 0 -> 255 over the whole track           %9.1f  (%.1f M samples/s)\n", fade,
                samples / fade / 1e3);
    std::printf("  TrackRead + TrackWrite per sample only     %9.1f  (%.1f M samples/s)\n",
                median(callsOnly), samples / median(callsOnly) / 1e3);
    std::printf("  factor and rounding over memory only       %9.1f  (%.1f M samples/s)\n",
                median(mathOnly), samples / median(mathOnly) / 1e3);
    window.session().close();
    return 0;
}
