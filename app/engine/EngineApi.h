// EngineApi: the engine library wavorn, bound by name on the first call of each export.
#pragma once

#include "wavorn.h"

#include <QFunctionPointer>
#include <QLibrary>
#include <QString>

#include <functional>

namespace vumo
{

// Every export, by name, in the order of wavorn.h.
#define VUMO_ENGINE_EXPORTS(X)                                                                     \
    X(OpenLib)                                                                                     \
    X(CloseLib)                                                                                    \
    X(ClearTracks)                                                                                 \
    X(SetTrackInfo)                                                                                \
    X(SetTrackAttr)                                                                                \
    X(SetCurTrack)                                                                                 \
    X(PlayTracks)                                                                                  \
    X(RecordTrack)                                                                                 \
    X(StopTracks)                                                                                  \
    X(IsPlaying)                                                                                   \
    X(GetPosition)                                                                                 \
    X(TrackRead)                                                                                   \
    X(TrackWrite)                                                                                  \
    X(SaveAsWave)                                                                                  \
    X(CopyTo)                                                                                      \
    X(CutTo)                                                                                       \
    X(PasteFrom)                                                                                   \
    X(SaveEdits)                                                                                   \
    X(Undo)                                                                                        \
    X(FXIt)                                                                                        \
    X(FilterGraph)                                                                                 \
    X(PlayMidi)                                                                                    \
    X(AddMidi)                                                                                     \
    X(MidiPlaying)                                                                                 \
    X(GetMidiTimer)                                                                                \
    X(StopMidi)                                                                                    \
    X(OpenMidiPlay)                                                                                \
    X(CloseMidiPlay)                                                                               \
    X(CmdMidi)                                                                                     \
    X(OpenMidiRec)                                                                                 \
    X(CloseMidiRec)                                                                                \
    X(RecordMidi)                                                                                  \
    X(GetRecordLength)                                                                             \
    X(GetRecordData)                                                                               \
    X(StopMidiRec)                                                                                 \
    X(SK1)                                                                                         \
    X(LoadSK1)

class EngineApi
{
public:
    // Finds an export by name; null when it is missing.
    using Resolver = std::function<QFunctionPointer(const char* name)>;

    // An export that cannot be found returns this and leaves the reason in errorText().
    static constexpr int32_t kMissingExport = -1;

    // Binds libwavorn from the executable's folder, else by plain name.
    EngineApi();
    // Binds through the given resolver (tests hand in their own functions).
    explicit EngineApi(Resolver resolver);

    EngineApi(const EngineApi&) = delete;
    EngineApi& operator=(const EngineApi&) = delete;

    QString errorText() const { return m_errorText; }
    // How many exports have been bound so far (none before the first call).
    int boundCount() const;
    // How many export calls have been made so far (bound or not).
    int callCount() const { return m_calls; }

    int32_t OpenLib(int32_t trackLen, int32_t logFlag)
    {
        return call(m_fn.OpenLib, "OpenLib", trackLen, logFlag);
    }
    int32_t CloseLib() { return call(m_fn.CloseLib, "CloseLib"); }
    int32_t ClearTracks() { return call(m_fn.ClearTracks, "ClearTracks"); }
    int32_t SetTrackInfo(int32_t track, const char* fileName)
    {
        return call(m_fn.SetTrackInfo, "SetTrackInfo", track, fileName);
    }
    int32_t SetTrackAttr(int32_t track, int32_t volume, int32_t pan)
    {
        return call(m_fn.SetTrackAttr, "SetTrackAttr", track, volume, pan);
    }
    int32_t SetCurTrack(int32_t track, int32_t reload)
    {
        return call(m_fn.SetCurTrack, "SetCurTrack", track, reload);
    }
    int32_t PlayTracks(int32_t start, int32_t end)
    {
        return call(m_fn.PlayTracks, "PlayTracks", start, end);
    }
    int32_t RecordTrack(int32_t start, int32_t end, int32_t merge)
    {
        return call(m_fn.RecordTrack, "RecordTrack", start, end, merge);
    }
    int32_t StopTracks(int32_t start, int32_t end, int32_t merge)
    {
        return call(m_fn.StopTracks, "StopTracks", start, end, merge);
    }
    int32_t IsPlaying() { return call(m_fn.IsPlaying, "IsPlaying"); }
    int32_t GetPosition() { return call(m_fn.GetPosition, "GetPosition"); }
    int32_t TrackRead(int32_t sampleIndex)
    {
        return call(m_fn.TrackRead, "TrackRead", sampleIndex);
    }
    int32_t TrackWrite(int32_t sampleIndex, int32_t value)
    {
        return call(m_fn.TrackWrite, "TrackWrite", sampleIndex, value);
    }
    int32_t SaveAsWave(int32_t start, int32_t end, const char* fileName)
    {
        return call(m_fn.SaveAsWave, "SaveAsWave", start, end, fileName);
    }
    int32_t CopyTo(int32_t start, int32_t end, const char* fileName)
    {
        return call(m_fn.CopyTo, "CopyTo", start, end, fileName);
    }
    int32_t CutTo(int32_t start, int32_t end, const char* fileName)
    {
        return call(m_fn.CutTo, "CutTo", start, end, fileName);
    }
    int32_t PasteFrom(int32_t start, int32_t end, const char* fileName, int32_t mode)
    {
        return call(m_fn.PasteFrom, "PasteFrom", start, end, fileName, mode);
    }
    int32_t SaveEdits() { return call(m_fn.SaveEdits, "SaveEdits"); }
    int32_t Undo() { return call(m_fn.Undo, "Undo"); }
    int32_t FXIt(int32_t code, int32_t firstFrame, int32_t lastFrame, int32_t p1, int32_t p2,
                 int32_t p3)
    {
        return call(m_fn.FXIt, "FXIt", code, firstFrame, lastFrame, p1, p2, p3);
    }
    int32_t FilterGraph(int32_t operation, int32_t firstFrame, int32_t lastFrame)
    {
        return call(m_fn.FilterGraph, "FilterGraph", operation, firstFrame, lastFrame);
    }
    int32_t PlayMidi() { return call(m_fn.PlayMidi, "PlayMidi"); }
    int32_t AddMidi(int32_t timeMs, int32_t message)
    {
        return call(m_fn.AddMidi, "AddMidi", timeMs, message);
    }
    int32_t MidiPlaying() { return call(m_fn.MidiPlaying, "MidiPlaying"); }
    int32_t GetMidiTimer() { return call(m_fn.GetMidiTimer, "GetMidiTimer"); }
    int32_t StopMidi() { return call(m_fn.StopMidi, "StopMidi"); }
    int32_t OpenMidiPlay(int32_t capacity)
    {
        return call(m_fn.OpenMidiPlay, "OpenMidiPlay", capacity);
    }
    int32_t CloseMidiPlay() { return call(m_fn.CloseMidiPlay, "CloseMidiPlay"); }
    int32_t CmdMidi(int32_t status, int32_t data1, int32_t data2)
    {
        return call(m_fn.CmdMidi, "CmdMidi", status, data1, data2);
    }
    int32_t OpenMidiRec(int32_t capacity, int32_t device)
    {
        return call(m_fn.OpenMidiRec, "OpenMidiRec", capacity, device);
    }
    int32_t CloseMidiRec() { return call(m_fn.CloseMidiRec, "CloseMidiRec"); }
    int32_t RecordMidi() { return call(m_fn.RecordMidi, "RecordMidi"); }
    int32_t GetRecordLength() { return call(m_fn.GetRecordLength, "GetRecordLength"); }
    int32_t GetRecordData(int32_t index)
    {
        return call(m_fn.GetRecordData, "GetRecordData", index);
    }
    int32_t StopMidiRec() { return call(m_fn.StopMidiRec, "StopMidiRec"); }
    int32_t SK1(int32_t startFrame, int32_t length, double step, double gain)
    {
        return call(m_fn.SK1, "SK1", startFrame, length, step, gain);
    }
    int32_t LoadSK1(const char* fileName) { return call(m_fn.LoadSK1, "LoadSK1", fileName); }

private:
    struct Table
    {
#define VUMO_ENGINE_SLOT(name) decltype(&::name) name = nullptr;
        VUMO_ENGINE_EXPORTS(VUMO_ENGINE_SLOT)
#undef VUMO_ENGINE_SLOT
    };

    template <typename Fn, typename... Args> int32_t call(Fn& slot, const char* name, Args... args)
    {
        ++m_calls;
        if (slot == nullptr)
            slot = reinterpret_cast<Fn>(resolve(name));
        if (slot == nullptr)
            return kMissingExport;
        return slot(args...);
    }

    QFunctionPointer resolve(const char* name);
    QFunctionPointer resolveFromLibrary(const char* name);

    Resolver m_resolver;
    QLibrary m_library;
    bool m_loadTried = false;
    QString m_errorText;
    Table m_fn;
    int m_calls = 0;
};

} // namespace vumo
