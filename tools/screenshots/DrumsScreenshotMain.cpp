// vumo_drums_screenshot: shows the drum editor with a programmed rock pattern, the closed
// hi-hat selected, and saves it as a PNG. Usage: vumo_drums_screenshot <file.png>
#include "dialogs/frmDrums.h"
#include "drums/DrumEngine.h"
#include "support/ScriptedUiServices.h"

#include <QApplication>
#include <QListWidget>
#include <QTimer>

namespace
{

// Nothing plays while the window is only shown.
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

} // namespace

int main(int argc, char** argv)
{
    using namespace vumo::drums;
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[1]);
    DrumData drums;
    IdleEngine engine;
    vumo::ScriptedUiServices ui;
    constexpr int kKick = 7, kSnare = 10, kHat = 14;
    for (int b = 0; b < kBeats; ++b)
    {
        drums.drumGrid[0][kHat][b] = uint8_t(b % 2 == 0 ? 110 : 60 + (b * 7) % 30);
        if (b % 8 == 0 || b % 16 == 10)
            drums.drumGrid[0][kKick][b] = 120;
        if (b % 8 == 4)
            drums.drumGrid[0][kSnare][b] = uint8_t(b % 16 == 12 ? 127 : 100);
    }
    // A song already in force, so the opening keeps the pattern's 28 beats of 110 ms.
    drums.songPattern = QStringLiteral("1121");
    drums.patLastBeat[0] = 27;
    drums.patMsPerBeat[0] = 110;
    frmDrums window(drums, engine, ui, 110, 32768);
    window.findChild<QListWidget*>(QStringLiteral("lstInstr"))->setCurrentRow(kHat);
    window.resize(900, 480);
    window.show();
    QTimer::singleShot(300,
                       [&]
                       {
                           window.grab().save(file);
                           app.quit();
                       });
    return app.exec();
}
