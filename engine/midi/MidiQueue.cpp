// The MIDI queue: events added by the application, sent by midiTick on the periodic timer's
// thread when their time has come.
//
// midiTick reads the queue, its count and the output while it writes the play position, the
// elapsed time and the active flag; all of them are atomic words and no lock is taken. The
// timer is joined before the queue or the output is replaced or freed, so no tick ever sees
// freed memory, also when CloseMidiPlay comes in the middle of a pass.
#include "Midi.h"

#include "MidiDevices.h"
#include "MidiWords.h"

#include "engine/api/TraceLog.h"
#include "platform/MmResult.h"

#include <string>

namespace wavorn::midi
{

namespace
{

struct Playback
{
    // Set and reset on the application's thread while no timer runs.
    std::unique_ptr<MidiWords> queue;
    std::unique_ptr<platform::MidiOut> out; // null when the output did not open
    std::unique_ptr<platform::PeriodicTimer> timer;
    bool periodRequested = false;

    std::atomic<int32_t> count{0};     // words in use; written by AddMidi, StopMidi
    std::atomic<int32_t> position{0};  // next word to send; written by PlayMidi, midiTick
    std::atomic<int32_t> elapsedMs{0}; // midiTimer; written by PlayMidi, midiTick
    std::atomic<int32_t> periodMs{kMidiPeriodMs}; // midiPeriod; written by OpenMidiPlay
    std::atomic<int32_t> active{0};               // written by PlayMidi, StopMidi, midiTick
};

Playback& playback()
{
    static Playback p;
    return p;
}

// One tick of the periodic timer: sends every event whose time is below the elapsed time.
void midiTick(platform::PeriodicTimer& timer)
{
    Playback& p = playback();
    if (p.active.load() == 0 || !p.queue)
    {
        timer.cancel();
        return;
    }
    const uint32_t elapsed = uint32_t(p.elapsedMs.load()) + uint32_t(p.periodMs.load());
    p.elapsedMs.store(int32_t(elapsed));
    int32_t position = p.position.load();
    while (position < p.count.load(std::memory_order_acquire) && p.queue->load(position) < elapsed)
    {
        if (p.out)
            p.out->shortMsg(p.queue->load(position + 1));
        position += 2;
        p.position.store(position);
    }
    if (position >= p.count.load())
    {
        // Played out: the next tick finds the flag clear and cancels the timer.
        p.position.store(0);
        p.elapsedMs.store(0);
        p.active.store(0);
    }
}

void stopTimer(Playback& p)
{
    if (p.timer)
        p.timer->cancel();
}

} // namespace

int32_t openMidiPlay(int32_t capacity)
{
    if (capacity > kMaxCapacityWords)
        return platform::kMmInvalidParam; // an open queue stays as it is
    Playback& p = playback();
    if (p.queue)
        closeMidiPlay();
    p.queue = MidiWords::make(capacity);
    if (!p.queue)
        return platform::kMmNoMem;
    p.periodMs.store(kMidiPeriodMs);
    p.count.store(0);
    p.position.store(0);
    p.active.store(0);

    const MidiDevices& devices = midiDevices();
    p.out = devices.makeOut ? devices.makeOut() : nullptr;
    const int32_t outResult = p.out ? p.out->open() : platform::kMidiNoDevice;
    if (outResult != platform::kMmNoError)
        p.out.reset();
    else
        logText(("MIDI output: " + p.out->deviceName() + "\n").c_str());
    p.timer = devices.makeTimer ? devices.makeTimer() : nullptr;
    const int32_t periodResult = platform::timerBeginPeriod(kMidiPeriodMs);
    p.periodRequested = periodResult == platform::kMmNoError;
    return outResult + periodResult;
}

int32_t closeMidiPlay()
{
    Playback& p = playback();
    if (!p.queue)
        return platform::kMmInvalidHandle;
    p.active.store(0);
    stopTimer(p);
    p.timer.reset();
    p.queue.reset();
    p.count.store(0);
    p.position.store(0);
    if (p.periodRequested)
        platform::timerEndPeriod(kMidiPeriodMs);
    p.periodRequested = false;
    const int32_t result = p.out ? p.out->close() : platform::kMmInvalidHandle;
    p.out.reset();
    return result;
}

int32_t addMidi(int32_t timeMs, int32_t message)
{
    Playback& p = playback();
    if (!p.queue)
        return 0;
    const int32_t count = p.count.load();
    p.queue->store(count, uint32_t(timeMs));
    p.queue->store(count + 1, uint32_t(message));
    if (p.queue->hasRoomAfter(count))
        p.count.store(count + 2, std::memory_order_release);
    return p.count.load();
}

int32_t playMidi()
{
    Playback& p = playback();
    if (!p.queue)
        return 0;
    // A pass stopped by StopMidi may still have its timer waiting for the next tick; it goes
    // now, so two timers never play one queue.
    stopTimer(p);
    p.position.store(0);
    p.elapsedMs.store(0);
    p.active.store(1);
    if (!p.timer || p.timer->start(p.periodMs.load(), &midiTick) != platform::kMmNoError)
        p.active.store(0);
    return p.count.load();
}

int32_t midiPlaying()
{
    return playback().active.load();
}

int32_t getMidiTimer()
{
    return playback().elapsedMs.load();
}

int32_t stopMidi()
{
    Playback& p = playback();
    p.count.store(0);
    p.active.store(0);
    return 0;
}

int32_t cmdMidi(int32_t status, int32_t data1, int32_t data2)
{
    Playback& p = playback();
    if (!p.out)
        return platform::kMmInvalidHandle;
    // Plain addition, as the caller passes bytes; wider values wrap instead of overflowing.
    const uint32_t message = uint32_t(status) + uint32_t(data1) * 256u + uint32_t(data2) * 65536u;
    return p.out->shortMsg(message);
}

} // namespace wavorn::midi
