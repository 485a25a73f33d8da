// The C exports of wavorn: each checks that the engine is open and converts its arguments,
// then calls the engine's C++. Nothing thrown inside the engine crosses this boundary.
#include "wavorn.h"

#include "engine/api/Engine.h"
#include "engine/api/Lifecycle.h"
#include "engine/clips/Clips.h"
#include "engine/fx/FilterGraph.h"
#include "engine/fx/Fx.h"
#include "engine/midi/Midi.h"
#include "engine/sampler/Sampler.h"
#include "engine/transport/Transport.h"
#include "engine/wave/TrackAccess.h"
#include "engine/wave/WaveFile.h"

#include <utility>

namespace
{

constexpr int32_t kRefused = -1;

// Runs f when the engine is open; -1 otherwise, or when f throws (out of memory).
template <class F> int32_t whenOpen(F&& f)
{
    if (!wavorn::engine().open)
        return kRefused;
    try
    {
        return std::forward<F>(f)();
    }
    catch (...)
    {
        return kRefused;
    }
}

// Runs f whatever the engine's state (the MIDI family opens its own devices).
template <class F> int32_t always(F&& f)
{
    try
    {
        return std::forward<F>(f)();
    }
    catch (...)
    {
        return platform::kMmError;
    }
}

} // namespace

using namespace wavorn;

extern "C"
{

    WAVORN_API int32_t WAVORN_CALL OpenLib(int32_t trackLen, int32_t logFlag)
    {
        return always([&] { return openLib(trackLen, logFlag != 0); });
    }
    WAVORN_API int32_t WAVORN_CALL CloseLib(void)
    {
        return whenOpen([] { return closeLib(); });
    }
    WAVORN_API int32_t WAVORN_CALL ClearTracks(void)
    {
        return whenOpen([] { return clearTracks(); });
    }
    WAVORN_API int32_t WAVORN_CALL SetTrackInfo(int32_t track, const char* fileName)
    {
        return whenOpen([&] { return setTrackInfo(track, fileName); });
    }
    WAVORN_API int32_t WAVORN_CALL SetTrackAttr(int32_t track, int32_t volume, int32_t pan)
    {
        return whenOpen([&] { return setTrackAttr(track, volume, pan); });
    }
    WAVORN_API int32_t WAVORN_CALL SetCurTrack(int32_t track, int32_t reload)
    {
        return whenOpen([&] { return setCurTrack(track, reload != 0); });
    }
    WAVORN_API int32_t WAVORN_CALL PlayTracks(int32_t start, int32_t end)
    {
        return whenOpen([&] { return playTracks(start, end); });
    }
    WAVORN_API int32_t WAVORN_CALL RecordTrack(int32_t start, int32_t end, int32_t merge)
    {
        return whenOpen([&] { return recordTrack(start, end, merge); });
    }
    WAVORN_API int32_t WAVORN_CALL StopTracks(int32_t start, int32_t end, int32_t merge)
    {
        return whenOpen([&] { return stopTracks(start, end, merge); });
    }
    WAVORN_API int32_t WAVORN_CALL IsPlaying(void)
    {
        return wavorn::engine().open ? isPlaying() : 0;
    }
    WAVORN_API int32_t WAVORN_CALL GetPosition(void)
    {
        return whenOpen([] { return getPosition(); });
    }
    // Called once a sample by the studio's own effects: one look at the engine, and nothing
    // here can throw.
    WAVORN_API int32_t WAVORN_CALL TrackRead(int32_t sampleIndex)
    {
        const wavorn::Engine& e = wavorn::engine();
        return e.open ? trackRead(e, sampleIndex) : kRefused;
    }
    WAVORN_API int32_t WAVORN_CALL TrackWrite(int32_t sampleIndex, int32_t value)
    {
        wavorn::Engine& e = wavorn::engine();
        return e.open ? trackWrite(e, sampleIndex, value) : kRefused;
    }
    WAVORN_API int32_t WAVORN_CALL SaveAsWave(int32_t start, int32_t end, const char* fileName)
    {
        return whenOpen([&] { return fileName ? saveAsWave(start, end, fileName) : kRefused; });
    }
    WAVORN_API int32_t WAVORN_CALL CopyTo(int32_t start, int32_t end, const char* fileName)
    {
        return whenOpen([&] { return fileName ? copyTo(start, end, fileName) : kRefused; });
    }
    WAVORN_API int32_t WAVORN_CALL CutTo(int32_t start, int32_t end, const char* fileName)
    {
        return whenOpen([&] { return fileName ? cutTo(start, end, fileName) : kRefused; });
    }
    WAVORN_API int32_t WAVORN_CALL PasteFrom(int32_t start, int32_t end, const char* fileName,
                                             int32_t mode)
    {
        return whenOpen(
            [&] {
                return fileName ? pasteFrom(start, end, fileName, mode)
                                : int32_t(LoadResult::CannotOpen);
            });
    }
    WAVORN_API int32_t WAVORN_CALL SaveEdits(void)
    {
        return whenOpen([] { return saveEdits(); });
    }
    WAVORN_API int32_t WAVORN_CALL Undo(void)
    {
        return whenOpen([] { return undo(); });
    }
    WAVORN_API int32_t WAVORN_CALL FXIt(int32_t code, int32_t firstFrame, int32_t lastFrame,
                                        int32_t p1, int32_t p2, int32_t p3)
    {
        return whenOpen([&] { return fx::fxIt(code, firstFrame, lastFrame, p1, p2, p3); });
    }
    WAVORN_API int32_t WAVORN_CALL FilterGraph(int32_t operation, int32_t firstFrame,
                                               int32_t lastFrame)
    {
        return whenOpen([&] { return fx::filterGraph(operation, firstFrame, lastFrame); });
    }
    WAVORN_API int32_t WAVORN_CALL PlayMidi(void)
    {
        return always([] { return midi::playMidi(); });
    }
    WAVORN_API int32_t WAVORN_CALL AddMidi(int32_t timeMs, int32_t message)
    {
        return always([&] { return midi::addMidi(timeMs, message); });
    }
    WAVORN_API int32_t WAVORN_CALL MidiPlaying(void)
    {
        return always([] { return midi::midiPlaying(); });
    }
    WAVORN_API int32_t WAVORN_CALL GetMidiTimer(void)
    {
        return always([] { return midi::getMidiTimer(); });
    }
    WAVORN_API int32_t WAVORN_CALL StopMidi(void)
    {
        return always([] { return midi::stopMidi(); });
    }
    WAVORN_API int32_t WAVORN_CALL OpenMidiPlay(int32_t capacity)
    {
        return always([&] { return midi::openMidiPlay(capacity); });
    }
    WAVORN_API int32_t WAVORN_CALL CloseMidiPlay(void)
    {
        return always([] { return midi::closeMidiPlay(); });
    }
    WAVORN_API int32_t WAVORN_CALL CmdMidi(int32_t status, int32_t data1, int32_t data2)
    {
        return always([&] { return midi::cmdMidi(status, data1, data2); });
    }
    WAVORN_API int32_t WAVORN_CALL OpenMidiRec(int32_t capacity, int32_t device)
    {
        return always([&] { return midi::openMidiRec(capacity, device); });
    }
    WAVORN_API int32_t WAVORN_CALL CloseMidiRec(void)
    {
        return always([] { return midi::closeMidiRec(); });
    }
    WAVORN_API int32_t WAVORN_CALL RecordMidi(void)
    {
        return always([] { return midi::recordMidi(); });
    }
    WAVORN_API int32_t WAVORN_CALL GetRecordLength(void)
    {
        return always([] { return midi::getRecordLength(); });
    }
    WAVORN_API int32_t WAVORN_CALL GetRecordData(int32_t index)
    {
        return always([&] { return midi::getRecordData(index); });
    }
    WAVORN_API int32_t WAVORN_CALL StopMidiRec(void)
    {
        return always([] { return midi::stopMidiRec(); });
    }
    WAVORN_API int32_t WAVORN_CALL SK1(int32_t startFrame, int32_t length, double step, double gain)
    {
        return whenOpen([&] { return sk1(startFrame, length, step, gain); });
    }
    WAVORN_API int32_t WAVORN_CALL LoadSK1(const char* fileName)
    {
        return whenOpen([&] { return fileName ? loadSK1(fileName) : 0; });
    }

} // extern "C"
