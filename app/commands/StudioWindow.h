// StudioWindow: what the studio's commands need from the main window: the track chosen in the
// track list, the controls a pass locks, the picture, the message window and the track check
// boxes. The main window implements it; command tests hand in their own.
#pragma once

#include "view/Selection.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

class QWidget;

namespace vumo
{

class StudioWindow
{
public:
    virtual ~StudioWindow() = default;

    // The frames chosen in the waveform view.
    virtual Selection& selection() = 0;
    // The index chosen in the track list; -1 when none is (after Delete).
    virtual int chosenTrack() const = 0;
    // EnableControls: every control a pass locks, and unlocks again.
    virtual void EnableControls(bool enable) = 0;
    // The message window with text, painted before the work starts and shown until the matching
    // hideMessage. A message shown while another is up (a step of a longer operation) takes the
    // window for a while: its hideMessage brings back the text before, and the window stays up.
    virtual void showMessage(const QString& text) = 0;
    virtual void hideMessage() = 0;
    // DrawTrack: redraws the current track's picture.
    virtual void DrawTrack() = 0;
    // The Activate Drums and Merge Record check boxes.
    virtual bool drumsActive() const = 0;
    virtual bool mergeRecord() const = 0;
    // LoadTrack: hands track k to the engine and the track list and switches to it; reload 0
    // leaves the engine's buffer as it is.
    virtual void LoadTrack(int k, int32_t reload = -1) = 0;
    // Chooses track k in the track list and switches to it, reloading it.
    virtual void chooseTrack(int k) = 0;
    // The track files a user chose to leave missing when the project opened: their tracks
    // load silent without an error.
    virtual void silenceMissing(const QList<QByteArray>& files) = 0;
    // Takes track k out of the track list; no track is chosen afterwards.
    virtual void removeTrackItem(int k) = 0;
    // Empties the track list and hides the track controls (the project is closed).
    virtual void clearTrackList() = 0;
    // The engine has opened for the project: the picture's scale and a whole-track selection.
    virtual void engineOpened() = 0;
    // UpdateCaption: the caption with the project's title.
    virtual void UpdateCaption() = 0;
    // The length and memory labels.
    virtual void updateProjectLabels() = 0;
    // The owner of the commands' dialogs.
    virtual QWidget* dialogParent() = 0;
    // Keeps frames [first, last) of the current track as the undo step of the change named label
    // that follows. False when the change must not be made: its step could not be kept and the
    // user chose not to go on without it. A window without undo steps makes every change.
    virtual bool keepStep(int32_t /*first*/, int32_t /*last*/, const QString& /*label*/)
    {
        return true;
    }
};

} // namespace vumo
