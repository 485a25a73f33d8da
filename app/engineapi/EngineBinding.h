// EngineBinding: the studio's view of the engine library wavorn, one virtual call per export.
// The library binding (EngineApi) and the tests' stand-in engine both implement it.
#pragma once

#include <QString>

#include <climits>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vumo
{

// Every export, in the order of wavorn.h: name, parameter list, argument list. The binding,
// the interface and the tests' stand-in are all generated from this one list.
#define VUMO_ENGINE_EXPORTS(X)                                                                     \
    X(OpenLib, (int32_t trackLen, int32_t logFlag), (trackLen, logFlag))                           \
    X(CloseLib, (), ())                                                                            \
    X(ClearTracks, (), ())                                                                         \
    X(SetTrackInfo, (int32_t track, const char* fileName), (track, fileName))                      \
    X(SetTrackAttr, (int32_t track, int32_t volume, int32_t pan), (track, volume, pan))            \
    X(SetCurTrack, (int32_t track, int32_t reload), (track, reload))                               \
    X(PlayTracks, (int32_t start, int32_t end), (start, end))                                      \
    X(RecordTrack, (int32_t start, int32_t end, int32_t merge), (start, end, merge))               \
    X(StopTracks, (int32_t start, int32_t end, int32_t merge), (start, end, merge))                \
    X(IsPlaying, (), ())                                                                           \
    X(GetPosition, (), ())                                                                         \
    X(TrackRead, (int32_t sampleIndex), (sampleIndex))                                             \
    X(TrackWrite, (int32_t sampleIndex, int32_t value), (sampleIndex, value))                      \
    X(SaveAsWave, (int32_t start, int32_t end, const char* fileName), (start, end, fileName))      \
    X(CopyTo, (int32_t start, int32_t end, const char* fileName), (start, end, fileName))          \
    X(CutTo, (int32_t start, int32_t end, const char* fileName), (start, end, fileName))           \
    X(PasteFrom, (int32_t start, int32_t end, const char* fileName, int32_t mode),                 \
      (start, end, fileName, mode))                                                                \
    X(SaveEdits, (), ())                                                                           \
    X(Undo, (), ())                                                                                \
    X(FXIt,                                                                                        \
      (int32_t code, int32_t firstFrame, int32_t lastFrame, int32_t p1, int32_t p2, int32_t p3),   \
      (code, firstFrame, lastFrame, p1, p2, p3))                                                   \
    X(FilterGraph, (int32_t operation, int32_t firstFrame, int32_t lastFrame),                     \
      (operation, firstFrame, lastFrame))                                                          \
    X(PlayMidi, (), ())                                                                            \
    X(AddMidi, (int32_t timeMs, int32_t message), (timeMs, message))                               \
    X(MidiPlaying, (), ())                                                                         \
    X(GetMidiTimer, (), ())                                                                        \
    X(StopMidi, (), ())                                                                            \
    X(OpenMidiPlay, (int32_t capacity), (capacity))                                                \
    X(CloseMidiPlay, (), ())                                                                       \
    X(CmdMidi, (int32_t status, int32_t data1, int32_t data2), (status, data1, data2))             \
    X(OpenMidiRec, (int32_t capacity, int32_t device), (capacity, device))                         \
    X(CloseMidiRec, (), ())                                                                        \
    X(RecordMidi, (), ())                                                                          \
    X(GetRecordLength, (), ())                                                                     \
    X(GetRecordData, (int32_t index), (index))                                                     \
    X(StopMidiRec, (), ())                                                                         \
    X(SK1, (int32_t startFrame, int32_t length, double step, double gain),                         \
      (startFrame, length, step, gain))                                                            \
    X(LoadSK1, (const char* fileName), (fileName))

// The exports that only read the current track or the devices' state: they never change the
// current track's frames, nor which track is current. (Every other export may.)
constexpr bool readsOnly(std::string_view exportName)
{
    for (std::string_view name :
         {"IsPlaying", "GetPosition", "TrackRead", "SaveAsWave", "CopyTo", "MidiPlaying",
          "GetMidiTimer", "GetRecordLength", "GetRecordData"})
        if (name == exportName)
            return true;
    return false;
}

class EngineBinding
{
public:
    // The result of a call that never reached the engine: the library could not be loaded or
    // lacks the export (errorText() says which). No export of the engine returns it.
    static constexpr int32_t kUnavailable = INT32_MIN;

    virtual ~EngineBinding() = default;

#define VUMO_ENGINE_PURE(name, params, args) virtual int32_t name params = 0;
    VUMO_ENGINE_EXPORTS(VUMO_ENGINE_PURE)
#undef VUMO_ENGINE_PURE

    // Why the engine is unavailable; empty while every call has reached it.
    virtual QString errorText() const = 0;

    // A count that grows with every call that may change the current track's frames or which
    // track is current (any export but those that only read); nullopt when this binding does not
    // count. Equal counts mean the current track still holds the same frames.
    virtual std::optional<uint64_t> frameChanges() const
    {
        return std::nullopt;
    }
};

} // namespace vumo
