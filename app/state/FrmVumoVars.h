// The public variables of the main window frmVumo, in their declaration order.
#pragma once

#include <QColor>
#include <QString>

#include <cstdint>

namespace vumo
{

// Colours of the waveform view. The variable named GREEN holds a magenta: it is the colour
// of the beat ticks.
inline const QColor kGreen{196, 32, 196};
inline const QColor kBlue{32, 32, 240};
inline const QColor kRed{255, 0, 0};
inline const QColor kDarkGreen{16, 96, 64};

struct FrmVumoVars
{
    QString FILESPEC;         // the open project file; empty until saved or opened
    QString CLIPFILE;         // application folder + "clipper.wav"
    bool WAVEPLAYING = false; // true while a play or record pass runs
    bool bInitLib = false;    // true from a successful OpenLib to the next CloseLib
    int32_t zoom = 1;         // zoom factor of the view, 1 ... 256
    float tscale = 0.0f;      // frames per view column at zoom 1
    float hscale = 0.0f;      // view height per sample unit: height / 131072
    int32_t trkbegin = 0;     // first visible frame
    int32_t sampPos = 0;      // play position, frames
    int16_t clipMode = 0;     // 1 while the mouse button is down in the view
};

} // namespace vumo
