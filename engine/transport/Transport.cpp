// Playback and recording. A pass mixes its whole range into playBuf before the first frame
// sounds; the input device records straight into trackBuf from frame 0, and StopTracks
// commits that take at the range.
#include "Transport.h"

#include "engine/api/Engine.h"
#include "engine/api/TraceLog.h"
#include "engine/wave/Buffers.h"
#include "engine/wave/TrackAccess.h"
#include "engine/wave/WaveFile.h"
#include "platform/AudioBackend.h"

#include <cstring>

namespace wavorn
{
namespace
{

using platform::kMmInvalidHandle;

// Runs a device step and logs its error text when it fails; a missing device is not open.
template <class Device, class Step> int32_t step(Device* device, Step s, const char* errorText)
{
    const int32_t r = device ? s(*device) : int32_t(kMmInvalidHandle);
    if (r != 0)
        logText(errorText);
    return r;
}

platform::WaveOut* out()
{
    return engine().waveOut.get();
}
platform::WaveIn* in()
{
    return engine().waveIn.get();
}

// waveOutDone: the output block has been played to its end (or reset).
void waveOutDone()
{
    engine().playing.store(0);
}

int32_t prepareAndWriteOutput()
{
    Engine& e = engine();
    e.playing.store(1);
    step(
        out(), [&](auto& d) { return d.prepare(e.playSamples()); }, "Err:waveOutPrepareHeader\n");
    const int32_t r = step(
        out(), [](auto& d) { return d.write(); }, "Err:waveOutWrite\n");
    // Nothing new plays when the block was not accepted, so no caller waits for it to end;
    // a block that is still playing keeps the flag set.
    if (r != 0 && r != platform::kWaveStillPlaying)
        e.playing.store(0);
    return r;
}

// Puts the take (trackBuf from frame 0) at frames [start, end) of the track as it was in its
// file, scaled by the track's gains, replacing or mixing; the result becomes trackBuf.
int32_t commitTake(FrameRange r, bool merge)
{
    Engine& e = engine();
    const TrackSlot* slot = e.currentSlot();
    if (!slot || !e.playBuf)
        return 0;
    const LoadResult reload = loadWavToBuf(slot->name, e.playBuf.get(), e.trackLen);
    // Without the track's file the rest of the track is unknown: it becomes silence rather
    // than whatever the output block last played.
    if (!isLoaded(reload))
        deleteBuf(e.playBuf.get(), 0, e.trackLen);
    cpyBufToBuf(e.trackBuf.get(), e.playBuf.get(), 0, r.frames(), r.first, slot->gainLeft,
                slot->gainRight, merge);
    std::memcpy(e.trackBuf.get(), e.playBuf.get(), size_t(e.trackLen) * 4);
    return int32_t(reload);
}

} // namespace

int32_t waveOpenOut()
{
    Engine& e = engine();
    logText("waveOpenOut\n");
    e.playing.store(0);
    e.waveOut = platform::makeWaveOut();
    const int32_t r = step(
        out(), [](auto& d) { return d.open(platform::WaveFormat{}, waveOutDone); },
        "Err: waveOutOpen\n");
    e.playBuf = allocateFrames(e.trackLen);
    if (!e.playBuf && r == 0)
        return platform::kMmNoMem;
    return r;
}

int32_t waveCloseOut()
{
    Engine& e = engine();
    logText("waveCloseOut\n");
    step(
        out(), [](auto& d) { return d.reset(); }, "Err: waveOutReset\n");
    step(
        out(), [](auto& d) { return d.unprepare(); }, "");
    const int32_t r = step(
        out(), [](auto& d) { return d.close(); }, "Err: waveOutClose\n");
    e.waveOut.reset();
    e.playBuf.reset();
    e.playing.store(0);
    return r;
}

int32_t waveOpenIn()
{
    Engine& e = engine();
    logText("waveOpenIn\n");
    e.waveIn = platform::makeWaveIn();
    const int32_t r = step(
        in(), [](auto& d) { return d.open(platform::WaveFormat{}, nullptr); }, "Err: waveInOpen\n");
    e.trackBuf = allocateFrames(e.trackLen);
    if (!e.trackBuf && r == 0)
        return platform::kMmNoMem;
    return r;
}

int32_t waveCloseIn()
{
    Engine& e = engine();
    logText("waveCloseIn\n");
    const int32_t r = step(
        in(), [](auto& d) { return d.close(); }, "Err: waveInClose\n");
    if (r != 0 && in())
    {
        // Still capturing: stop the device before its block is freed under it.
        in()->reset();
        in()->unprepare();
        in()->close();
    }
    e.waveIn.reset();
    e.trackBuf.reset();
    return r;
}

void merge4Play(int32_t start, int32_t end, bool withCurrent)
{
    Engine& e = engine();
    logText("merge4Play\n");
    if (!e.playBuf || !e.masterBuf || end <= start)
        return;
    const size_t frames = size_t(end - start);
    const int16_t* master = e.masterBuf.get() + 2 * size_t(start);
    const TrackSlot* slot = e.currentSlot();
    if (!withCurrent || !slot || !e.trackBuf)
    {
        std::memcpy(e.playBuf.get(), master, frames * 4);
        logText("memcopied\n");
        return;
    }
    // The copy of the premix and the gain mix of the current track over it, in one pass.
    logText("memcopied\n");
    logText("cpyBufToBuf\n");
    gainMix(e.trackBuf.get() + 2 * size_t(start), master, e.playBuf.get(), frames, slot->gainLeft,
            slot->gainRight);
    logText("merged\n");
}

int32_t playTracks(int32_t start, int32_t end)
{
    Engine& e = engine();
    logText("PlayTracks\n");
    e.transportMode = 1;
    const FrameRange r = clampRange(start, end, e.trackLen);
    merge4Play(r.first, r.last, true);
    return prepareAndWriteOutput();
}

int32_t recordTrack(int32_t start, int32_t end, int32_t merge)
{
    Engine& e = engine();
    logText("RecordTrack\n");
    // The file must hold the track as it was when recording began: the take is committed over
    // a reload of it. When the pending edits cannot be written, nothing is recorded (the
    // edits are kept in a recovery file and stay in the buffer).
    if (e.dirty && writePendingEdits() != 0)
        return -1;
    e.transportMode = 2;
    const FrameRange r = clampRange(start, end, e.trackLen);
    merge4Play(r.first, r.last, merge != 0);
    e.playing.store(1);
    step(
        out(), [&](auto& d) { return d.prepare(e.playSamples()); }, "Err:waveOutPrepareHeader\n");
    int32_t input = step(
        in(), [&](auto& d) { return d.prepare(e.trackSamples()); }, "Err:waveInPrepareHeader\n");
    const int32_t added = step(
        in(), [](auto& d) { return d.addBuffer(); }, "Err:waveInAddBuffer\n");
    const int32_t started = step(
        in(), [](auto& d) { return d.start(); }, "Err:waveInStart\n");
    input = input != 0 ? input : added != 0 ? added : started;
    const int32_t w = step(
        out(), [](auto& d) { return d.write(); }, "Err:waveOutWrite\n");
    if (w != 0 && w != platform::kWaveStillPlaying)
        e.playing.store(0);
    if (input == 0)
        return w;
    // No take can arrive (no input device, or its source did not start): trackBuf still holds
    // the track, so the pass ends here and the StopTracks that follows commits nothing.
    stopOutputBlock();
    if (in())
    {
        in()->reset();
        in()->unprepare();
    }
    e.transportMode = 1;
    return w != 0 ? w : input;
}

int32_t stopTracks(int32_t start, int32_t end, int32_t merge)
{
    Engine& e = engine();
    logText("StopTracks\n");
    e.playing.store(0);
    int32_t reload = 0;
    const bool recording = e.transportMode == 2;
    if (recording)
        step(
            in(), [](auto& d) { return d.reset(); }, "Err:waveInReset\n");
    step(
        out(), [](auto& d) { return d.reset(); }, "Err:waveOutReset\n");
    int32_t result = step(
        out(), [](auto& d) { return d.unprepare(); }, "Err:waveOutUnPrepareHeader\n");
    if (recording)
    {
        result = step(
            in(), [](auto& d) { return d.unprepare(); }, "Err:waveInUnprepareHeader\n");
        const FrameRange r = clampRange(start, end, e.trackLen);
        // A replace take of the whole track (to within 10 frames of its end) stays as the
        // device wrote it, unscaled; every other take is placed over a reload of the file.
        const bool wholeTrack =
            r.first == 0 && uint32_t(r.last) >= uint32_t(e.trackLen - 10) && merge == 0;
        if (!wholeTrack && e.trackBuf)
            reload = commitTake(r, merge != 0);
        e.dirty = true;
    }
    e.transportMode = 0;
    return result != 0 ? result : reload;
}

int32_t isPlaying()
{
    return engine().playing.load() != 0 ? 1 : 0;
}

int32_t getPosition()
{
    uint32_t frames = 0;
    if (out())
        out()->positionFrames(frames);
    return int32_t(frames);
}

int32_t saveAsWave(int32_t start, int32_t end, const char* fileName)
{
    Engine& e = engine();
    const FrameRange r = clampRange(start, end, e.trackLen);
    merge4Play(r.first, r.last, true);
    return saveBufToWave(0, r.frames(), fileName, e.playBuf.get());
}

int32_t replayOutputBlock()
{
    Engine& e = engine();
    if (!e.playBuf)
        return kMmInvalidHandle;
    return prepareAndWriteOutput();
}

int32_t stopOutputBlock()
{
    engine().playing.store(0);
    step(
        out(), [](auto& d) { return d.reset(); }, "Err:waveOutReset\n");
    return step(
        out(), [](auto& d) { return d.unprepare(); }, "Err:waveOutUnPrepareHeader\n");
}

} // namespace wavorn
