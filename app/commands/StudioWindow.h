// StudioWindow: what the studio's commands need from the main window: the track chosen in the
// track list, the controls a pass locks, the picture, the message window and the track check
// boxes. The main window implements it; command tests hand in their own.
#pragma once

#include <QString>

namespace vumo
{

class StudioWindow
{
public:
    virtual ~StudioWindow() = default;

    // The index chosen in the track list; -1 when none is (after Delete).
    virtual int chosenTrack() const = 0;
    // EnableControls: every control a pass locks, and unlocks again.
    virtual void EnableControls(bool enable) = 0;
    // The message window with text, shown until hideMessage.
    virtual void showMessage(const QString& text) = 0;
    virtual void hideMessage() = 0;
    // DrawTrack: redraws the current track's picture.
    virtual void DrawTrack() = 0;
    // The Activate Drums and Merge Record check boxes.
    virtual bool drumsActive() const = 0;
    virtual bool mergeRecord() const = 0;
    // Shows the chosen track's volume and mute after a command changed them.
    virtual void showTrackGains(int volume, bool mute) = 0;
};

} // namespace vumo
