// vumo_drums_timing: times the drum editor's opening (construction, first show and paint) and a
// beat bar's move with its repaint, on whatever platform Qt runs (offscreen for the figures).
// Usage: vumo_drums_timing [rounds]
#include "dialogs/frmDrums.h"
#include "drums/DrumEngine.h"
#include "support/ScriptedUiServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QScrollBar>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

struct IdleEngine : vumo::drums::DrumEngine
{
    int32_t OpenMidiPlay(int32_t) override { return 0; }
    int32_t AddMidi(int32_t, int32_t) override { return 0; }
    int32_t PlayMidi() override { return 0; }
    int32_t MidiPlaying() override { return 0; }
    int32_t GetMidiTimer() override { return 0; }
    int32_t StopMidi() override { return 0; }
    int32_t CloseMidiPlay() override { return 0; }
    int32_t CmdMidi(int32_t, int32_t, int32_t) override { return 0; }
};

// Counts the paint events of the widget it watches, to show the repaints really paint.
struct PaintCounter : QObject
{
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        paints += e->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

void report(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-28s median %8.3f ms   max %8.3f ms   (%zu runs)\n", what, ms[ms.size() / 2],
                ms.back(), ms.size());
}

} // namespace

int main(int argc, char** argv)
{
    using namespace vumo::drums;
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    DrumData drums;
    IdleEngine engine;
    vumo::ScriptedUiServices ui;
    std::vector<double> open, repaint;
    PaintCounter counter;
    for (int r = 0; r < rounds; ++r)
    {
        QElapsedTimer t;
        t.start();
        frmDrums window(drums, engine, ui, 100, 32768);
        window.show();
        while (!window.windowHandle()->isExposed())
            QCoreApplication::processEvents();
        window.repaint(); // the first full paint
        open.push_back(double(t.nsecsElapsed()) / 1e6);
        if (r == 0)
            std::printf("first opening in the process: %.3f ms\n", open.back());

        auto* bar = window.findChild<QScrollBar*>(QStringLiteral("vscV5"));
        bar->installEventFilter(&counter);
        for (int k = 0; k < 50; ++k)
        {
            t.restart();
            bar->setValue((r * 50 + k) % 128); // stores the velocity
            bar->repaint();                    // and paints the bar at once
            repaint.push_back(double(t.nsecsElapsed()) / 1e6);
        }
    }
    report("editor open (show + paint)", open);
    report("beat bar move + repaint", repaint);
    std::printf("bar paints: %d\n", counter.paints);
    return 0;
}
