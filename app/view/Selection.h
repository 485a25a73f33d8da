// Selection: the frames [selStart, selEnd) chosen in the waveform view, end exclusive. The view
// owns it and the mouse edits it; the commands act on it through the main window.
#pragma once

#include <cstdint>

namespace vumo
{

struct Selection
{
    int32_t selStart = 0;
    int32_t selEnd = 0;
};

} // namespace vumo
