// The colours of the waveform view.
#pragma once

#include <QColor>

namespace vumo
{

// Colours of the waveform view. The variable named GREEN holds a magenta: it is the colour
// of the beat ticks.
inline const QColor kGreen{196, 32, 196};
inline const QColor kBlue{32, 32, 240};
inline const QColor kRed{255, 0, 0};
inline const QColor kDarkGreen{16, 96, 64};

} // namespace vumo
