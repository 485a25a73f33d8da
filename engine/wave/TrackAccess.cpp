// Sample access to the current track, saving and reverting its edits.
#include "TrackAccess.h"

#include "WaveFile.h"
#include "engine/api/Engine.h"
#include "engine/api/TraceLog.h"
#include "platform/files/FileNames.h"

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
    using platform::nameOf, platform::pathOf;
    const fs::path track = pathOf(trackName);
    const std::string name = nameOf(track.stem());
    const std::string stem = name.empty() ? "track" : name;
    const std::string beside = nameOf(track.parent_path() / pathOf(stem + "-recovered.wav"));
    if (saveBufToWave(0, e.trackLen, beside.c_str(), e.trackBuf.get()) == 0)
        return 0;
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    const std::string temp = nameOf(folder / pathOf("vumo-recovered-" + stem + ".wav"));
    return ec || temp.empty() ? -1 : saveBufToWave(0, e.trackLen, temp.c_str(), e.trackBuf.get());
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
