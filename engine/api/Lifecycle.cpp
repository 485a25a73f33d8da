// OpenLib and CloseLib, and the track table: names, volumes, pans and the current track.
#include "Lifecycle.h"

#include "Engine.h"
#include "TraceLog.h"
#include "engine/transport/Transport.h"
#include "engine/wave/Buffers.h"
#include "engine/wave/TrackAccess.h"
#include "engine/wave/WaveFile.h"

#include <algorithm>
#include <cstring>

namespace wavorn
{

int32_t openLib(int32_t trackLen, bool logging)
{
    Engine& e = engine();
    // A second OpenLib without CloseLib would leave the open devices and buffers behind.
    if (e.open)
        return platform::kMmAllocated;
    if (trackLen < 1 || trackLen > kMaxTrackLen)
        return platform::kMmInvalidParam;
    e.dirty = false;
    e.trackLen = trackLen;
    e.logging = logging;
    logText("OpenLib\n");
    e.masterBuf = allocateFrames(trackLen);
    if (!e.masterBuf)
        return platform::kMmNoMem;
    for (TrackSlot& slot : e.tracks)
        slot.name[0] = '\0';
    e.open = true;
    if (const int32_t out = waveOpenOut(); out != 0)
        return out;
    return waveOpenIn();
}

int32_t closeLib()
{
    Engine& e = engine();
    logText("CloseLib\n");
    e.masterBuf.reset();
    waveCloseOut();
    const int32_t result = waveCloseIn();
    if (result != 0)
        logText("Err:CloseLib\n");
    e.transportMode = 0;
    e.open = false;
    return result;
}

int32_t clearTracks()
{
    logText("ClearTracks\n");
    for (TrackSlot& slot : engine().tracks)
        slot.volume = 0;
    return 0;
}

int32_t setTrackInfo(int32_t track, const char* fileName)
{
    logText("SetTrackInfo\n");
    TrackSlot* slot = slotOf(track);
    if (!slot || !fileName)
        return -1;
    const size_t length = strnlen(fileName, kTrackNameBytes);
    if (length >= size_t(kTrackNameBytes))
        return -1; // a cut path would name another file
    std::memcpy(slot->name, fileName, length + 1);
    return 0;
}

int32_t setTrackAttr(int32_t track, int32_t volume, int32_t pan)
{
    logText("SetTrackAttr\n");
    TrackSlot* slot = slotOf(track);
    if (!slot)
        return -1;
    slot->volume = volume;
    slot->panRight = int32_t(std::min<int64_t>(int64_t(pan) + 128, 255));
    slot->panLeft = int32_t(std::min<int64_t>(393 - int64_t(pan), 255));
    // Wide arithmetic and a bound of +-32767 keep a volume far outside 0 ... 255 from
    // overflowing; every gain of the application's ranges lies in 0 ... 254.
    auto gain = [&](int32_t panFactor)
    {
        return int32_t(
            std::clamp<int64_t>(int64_t(volume) * panFactor / 256, -kSampleLimit, kSampleLimit));
    };
    slot->gainLeft = gain(slot->panLeft);
    slot->gainRight = gain(slot->panRight);
    return 0;
}

int32_t setCurTrack(int32_t track, bool reload)
{
    logText("SetCurTrack\n");
    Engine& e = engine();
    if (!slotOf(track))
        return -1;
    int32_t result = writePendingEdits();
    // With no copy of the edits anywhere, the track stays current with its edits in the buffer.
    if (result == kEditsNotWritten)
        return -1;
    e.curTrack = track & 0xFF;
    if (reload)
    {
        mergeMaster();
        const LoadResult r = e.trackBuf
                                 ? loadWavToBuf(e.currentSlot()->name, e.trackBuf.get(), e.trackLen)
                                 : LoadResult::CannotOpen;
        // The failed write stays visible to the caller even though the reload went on.
        if (result == 0)
            result = int32_t(r);
    }
    e.dirty = false;
    return result;
}

} // namespace wavorn
