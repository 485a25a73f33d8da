// The F&X menu's path for one effect code: defaults into the record, the parameter dialog,
// then the effect over the selection (the engine's FXIt, or the studio's own fade).
#pragma once

#include "fx/EffectSetting.h"
#include "fx/FxEngine.h"

#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

namespace vumo
{
class UiServices;
}

namespace vumo::fx
{

// The selection of the current track: frames [selStart, selEnd).
struct FxSelection
{
    int32_t selStart = 0;
    int32_t selEnd = 0;
};

// What the effect path needs from the main window besides the engine and the UI services.
struct FxStudioHooks
{
    std::function<void(const QString&)> showMessage; // message window: lblMessage, then Init
    std::function<void()> hideMessage;
    std::function<void()> redraw; // the waveform of the current track
    // Before the effect changes frames [first, last): keeps its undo step; false stops it.
    std::function<bool(int32_t first, int32_t last)> keepStep = {};
};

// The menu path runs only on selections longer than this many frames.
inline constexpr int32_t kMinEffectFrames = 1024;

// Fills the record for code (a code outside the catalog keeps the record), shows FrmFX and takes
// back the record it leaves, and when it was not cancelled and the selection is longer than
// kMinEffectFrames, keeps the undo step of the frames it changes (hooks.keepStep; a refusal
// stops it), shows "Applying Effects ...", runs the effect (band pass ordered first),
// redraws and hides the message. An engine result other than 0 is shown as "Error in <export>:
// <n>". Returns true when the effect ran.
bool dispatchEffect(int32_t code, EffectSetting& setting, FxSelection sel, FxEngine& engine,
                    UiServices& ui, const FxStudioHooks& hooks, QWidget* parent = nullptr);

// The studio's fade over TrackRead/TrackWrite: a = value1/256, b = value2/256, and the sample
// indexes 2*selStart ... 2*selEnd (the left sample of frame selEnd included) are scaled by
// a + (s - 2*selStart)*(b - a)/N, N = 2*(selEnd - selStart), the last by exactly b, rounded
// half to even. The sample past the end of a selection reaching the track's end does not
// exist and is skipped. Returns 0, or the first failing TrackWrite result before it.
int32_t applyFade(FxEngine& engine, FxSelection sel, int32_t value1, int32_t value2);

// Rounds to the nearest integer, halves to the even neighbour.
double roundHalfEven(double x);

} // namespace vumo::fx
