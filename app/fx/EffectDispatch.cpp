// The F&X menu's effect path and the studio's fade.
#include "fx/EffectDispatch.h"

#include "fx/EffectCatalog.h"
#include "fx/FrmFX.h"
#include "services/UiServices.h"

#include <climits>
#include <cmath>

namespace vumo::fx
{

double roundHalfEven(double x)
{
    // Below 2^51 in size, adding and taking away 1.5 * 2^52 leaves x rounded to a whole number,
    // ties to even (the default rounding mode), without a branch that depends on the sample:
    // the fade calls this once a sample.
    constexpr double kLimit = 2251799813685248.0; // 2^51
    constexpr double kShift = 6755399441055744.0; // 1.5 * 2^52
    if (std::fabs(x) < kLimit)
        return (x + kShift) - kShift;
    const double down = std::floor(x);
    const double rest = x - down;
    if (rest > 0.5)
        return down + 1.0;
    if (rest < 0.5)
        return down;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

int32_t applyFade(FxEngine& engine, FxSelection sel, int32_t value1, int32_t value2)
{
    const double a = value1 / 256.0;
    const double b = value2 / 256.0;
    const int64_t first = 2 * int64_t(sel.selStart);
    const int64_t last = 2 * int64_t(sel.selEnd);
    const int64_t n = last - first;
    if (n <= 0)
        return 0;
    const double step = (b - a) / double(n);
    for (int64_t s = first; s <= last; ++s)
    {
        const double factor = s == last ? b : a + double(s - first) * step;
        const int32_t v = engine.TrackRead(int32_t(s));
        const int32_t rc = engine.TrackWrite(int32_t(s), int32_t(roundHalfEven(v * factor)));
        if (rc != 0 && s < last)
            return rc;
    }
    return 0;
}

bool dispatchEffect(int32_t code, EffectSetting& setting, FxSelection sel, FxEngine& engine,
                    UiServices& ui, const FxStudioHooks& hooks, QWidget* parent)
{
    fillDefaults(setting, code);
    // The dialog is hidden once answered; it is taken down after the redraw, so the user sees
    // the result without waiting for its widgets to be destroyed.
    FrmFX dialog(code, setting, ui, parent);
    const bool accepted = ui.runDialog(dialog) == QDialog::Accepted;
    setting = dialog.setting(); // a loaded file's values stay, even after Cancel
    if (int64_t(sel.selEnd) <= int64_t(sel.selStart) + kMinEffectFrames || !accepted)
        return false;
    orderBandPass(setting);
    // The fade also scales the left sample of the frame at selEnd.
    const int32_t last = code == kFadeCode && sel.selEnd < INT32_MAX ? sel.selEnd + 1 : sel.selEnd;
    if (hooks.keepStep && !hooks.keepStep(sel.selStart, last))
        return false;
    if (hooks.showMessage)
        hooks.showMessage(QStringLiteral("Applying Effects ..."));
    if (code == kFadeCode)
        checkEngine(ui, "TrackWrite", applyFade(engine, sel, setting.value1, setting.value2));
    else
        checkEngine(ui, "FXIt",
                    engine.FXIt(code, sel.selStart, sel.selEnd, setting.value1, setting.value2,
                                setting.value3));
    if (hooks.redraw)
        hooks.redraw();
    if (hooks.hideMessage)
        hooks.hideMessage();
    return true;
}

} // namespace vumo::fx
