// Sample access to the current track, saving and reverting its edits.
#include "TrackAccess.h"

#include "WaveFile.h"
#include "engine/api/Engine.h"
#include "engine/api/TraceLog.h"

#include <filesystem>
#include <string>

namespace wavorn
{
namespace
{

// Where edits go when the track's own file cannot be written: "<name>-recovered.wav" beside
// the track file, or "vumo-recovered-<name>.wav" in the temp folder when that fails too.
int32_t writeRecovery(const char* trackName)
{
    const Engine& e = engine();
    namespace fs = std::filesystem;
    const fs::path track(trackName);
    const std::string stem = track.stem().string().empty() ? "track" : track.stem().string();
    const fs::path beside = track.parent_path() / (stem + "-recovered.wav");
    if (saveBufToWave(0, e.trackLen, beside.string().c_str(), e.trackBuf.get()) == 0)
        return 0;
    std::error_code ec;
    const fs::path temp = fs::temp_directory_path(ec) / ("vumo-recovered-" + stem + ".wav");
    return ec ? -1 : saveBufToWave(0, e.trackLen, temp.string().c_str(), e.trackBuf.get());
}

} // namespace

int32_t writePendingEdits()
{
    Engine& e = engine();
    if (!e.dirty || !e.trackBuf)
        return 0;
    const TrackSlot* slot = e.currentSlot();
    if (slot && saveBufToWave(0, e.trackLen, slot->name, e.trackBuf.get()) == 0)
        return 0;
    logText("Track not saved.\n");
    return writeRecovery(slot ? slot->name : "track") == 0 ? kEditsRecovered : kEditsNotWritten;
}

int32_t saveEdits()
{
    logText("SaveEdits\n");
    Engine& e = engine();
    if (!e.dirty || !e.trackBuf)
        return 0;
    const TrackSlot* slot = e.currentSlot();
    // A failed write keeps the edits pending, so the next save tries again.
    if (!slot || saveBufToWave(0, e.trackLen, slot->name, e.trackBuf.get()) != 0)
        return -1;
    e.dirty = false;
    return 0;
}

int32_t undo()
{
    logText("Undo\n");
    Engine& e = engine();
    const TrackSlot* slot = e.currentSlot();
    if (!slot || !e.trackBuf)
        return int32_t(LoadResult::CannotOpen);
    const LoadResult r = loadWavToBuf(slot->name, e.trackBuf.get(), e.trackLen);
    // A refused file leaves the edits in the buffer, so they stay pending.
    if (isLoaded(r))
        e.dirty = false;
    return int32_t(r);
}

} // namespace wavorn
