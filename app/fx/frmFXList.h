// frmFXList: the effect chain window ("FX List"): up to 17 effects with their own values,
// auditioned on an excerpt of the selection, applied to the selection, kept in chain files.
#pragma once

#include "fx/EffectChain.h"
#include "fx/EffectSetting.h"
#include "fx/FxEngine.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>

namespace Ui
{
class frmFXList;
}

namespace vumo
{
class UiServices;
}

namespace vumo::fx
{

// What the chain works on, as it was when the window opened: the selection and the current
// track with its volume and pan from the track table.
struct ChainTarget
{
    int32_t selStart = 0;
    int32_t selEnd = 0;
    int32_t track = 0;
    int32_t volume = 255;
    int32_t pan = 128;
};

class frmFXList : public QDialog
{
    Q_OBJECT

public:
    // Audition plays 2 * kAuditionHalfFrames frames centred on the selection, and only when
    // half the selection is longer than kAuditionMinHalfFrames.
    static constexpr int32_t kAuditionHalfFrames = 65535;
    static constexpr int32_t kAuditionMinHalfFrames = 131072;

    // setting is the studio's effect record, shared with the F&X menu's dialog.
    frmFXList(FxEngine& engine, UiServices& ui, EffectSetting& setting, ChainTarget target,
              QWidget* parent = nullptr);
    ~frmFXList() override;

    const EffectChain& chain() const { return m_chain; }
    // Called before Apply changes frames [first, last): keeps the undo step of the chain; when it
    // returns false nothing is applied and the window stays open.
    void setKeepStep(std::function<bool(int32_t first, int32_t last)> keep)
    {
        m_keepStep = std::move(keep);
    }

    // The audition excerpt [AudStart, AudEnd), set by the last Audition.
    int32_t AudStart = 0;
    int32_t AudEnd = 0;

    void reject() override; // Cancel and the close button; refused while the chain runs

private:
    void cmdAdd_Click();
    void lstFX_DblClick();
    void cmdDelete_Click();
    void moveSelected(int by);
    void cmdApply_Click();
    void cmdAudition_Click();
    void cmdSave_Click();
    void cmdLoad_Click();

    // Shows FrmFX for code with values (from the defaults when null); false when cancelled.
    bool editValues(int32_t code, const ChainEntry* values);
    void refillChosen(int selected);
    // FilterGraph 1, every entry through FXIt with progress steps, FilterGraph 2, over [a, b).
    void runChain(int32_t a, int32_t b);
    void waitWhileAuditionPlays();
    void setBusy(bool busy);

    std::unique_ptr<Ui::frmFXList> ui;
    FxEngine& m_engine;
    UiServices& m_services;
    EffectSetting& m_setting;
    ChainTarget m_target;
    EffectChain m_chain;
    bool m_busy = false;
    std::function<bool(int32_t, int32_t)> m_keepStep;
};

} // namespace vumo::fx
