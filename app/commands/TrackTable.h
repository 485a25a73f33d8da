// The track table as the engine sees it, and the checks that commands on tracks share.
#pragma once

#include <QString>

#include <QByteArray>

#include <cstdint>

namespace vumo
{

class EngineSession;
class UiServices;
struct ModVumo;

// A track file named by its stored bytes, which need not be valid in the system's encoding (a
// project from another machine): the file system is asked with the bytes themselves.
bool trackFileExists(const QByteArray& path);
void removeTrackFile(const QByteArray& path);

// PushAllTracks: hands every track's file and gains (0 for a muted track) to the open engine.
void PushAllTracks(EngineSession& session, const ModVumo& mod, UiServices& ui);

// A load result of SetCurTrack, Undo, PasteFrom: 0 to 3 loaded, 10 and above refused; -1 a
// write of pending edits that failed.
inline bool loadFailed(int32_t rc)
{
    return rc < 0 || rc >= 10;
}

// checkEngine for the load result rc of the wave file `file` (SetCurTrack, Undo, PasteFrom): a
// file refused for its samples (24-bit, floating point, compressed) is named for what it holds
// in place of the general reason. Returns rc == 0.
bool checkLoad(UiServices& ui, const char* exportName, int32_t rc, const QString& file);

// Says so, and false, when the engine is not open.
bool engineReady(const EngineSession& session, UiServices& ui);

// After Delete no track is chosen while the engine still holds the deleted one as its current
// track: commands on the current track, and mixes that include it, say so and wait.
bool trackSelected(int chosenTrack, int trackCount, UiServices& ui);

} // namespace vumo
