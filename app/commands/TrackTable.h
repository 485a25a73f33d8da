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

// What the premix of every track but `current` is made of: their files and the gains handed to
// the engine (none for a muted track or one at volume 0).
QByteArray premixSource(const ModVumo& mod, int current);

// The track switch: PushAllTracks, then SetCurTrack(track, reload). With reload non-zero the
// engine rebuilds the premix of the other tracks from the table and loads the track (after
// writing the previous track's pending edits). Returns SetCurTrack's result.
int32_t switchToTrack(EngineSession& session, const ModVumo& mod, UiServices& ui, int track,
                      int32_t reload);

// Brings the engine's mix to what the table sets before a mix is written: PushAllTracks (the
// current track's gains take effect at once), and when the other tracks' files or gains differ
// from those their premix was built from, switches to the current track again to rebuild it.
// A failed write of pending edits is shown. Returns true when the track was reloaded.
bool refreshPremix(EngineSession& session, const ModVumo& mod, UiServices& ui, int current);

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
