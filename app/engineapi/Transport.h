// Transport: follows a play or record pass of the engine on a timer and tells its start, its
// position and its end, so the window, the cursor and the commands need no polling loop of their
// own: a command that must wait for the end runs one event loop until `finished`.
#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>

namespace vumo
{

class EngineBinding;

class Transport : public QObject
{
    Q_OBJECT

public:
    // One look at the engine per tick.
    static constexpr int kTickMs = 5;

    // How a pass is looked at: whether the engine still plays it, and how many frames it has
    // played from its start.
    struct Probe
    {
        std::function<bool()> playing;
        std::function<int32_t()> played;
    };

    // Follows the engine's audio passes (IsPlaying, GetPosition).
    explicit Transport(EngineBinding& engine, QObject* parent = nullptr);
    // Follows the passes probe looks at (the drum song on the MIDI output, an audition).
    explicit Transport(Probe probe, QObject* parent = nullptr);

    // Follows the pass the engine has just started over the frames [start, end): a position
    // each tick until the engine stops playing, the position reaches end, or stop() is called.
    void follow(int32_t start, int32_t end);
    // Ends the pass being followed (Stop, closing the window); nothing when none runs.
    void stop();
    bool running() const { return m_running; }
    // Returns once the pass has finished; the window system runs meanwhile in one event loop,
    // which `finished` ends.
    void waitForFinished();

signals:
    void started();
    // The play position in frames of the track.
    void position(int32_t frame);
    void finished();

private:
    void tick();
    void finish();

    Probe m_probe;
    QTimer m_timer;
    int32_t m_start = 0;
    int32_t m_end = 0;
    bool m_running = false;
};

} // namespace vumo
