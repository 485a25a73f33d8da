// FrmFX: the modal parameter dialog of every effect: three sliders with captions, value labels
// and what each value means in units, Load and Save of effect files, OK and Cancel.
#pragma once

#include "fx/EffectSetting.h"

#include <QDialog>

#include <memory>

namespace Ui
{
class FrmFX;
}

namespace vumo
{
class UiServices;
}

namespace vumo::fx
{

// Works on its own copy of the record, given back by setting(): opening sets its cancelled
// flag, OK clears it and stores the slider values, Load replaces the whole record (so the record
// after Cancel keeps loaded values). The dialog's result (accepted or not) says whether the
// effect is to run. OK runs the effect the dialog was opened for, so Load takes only a file of
// that effect (the same name); a file of another effect is refused with a message naming both.
// Values outside 0 ... 255 (from an effect file) are shown clamped to the sliders' range;
// the record keeps them until OK or Save stores the sliders.
// The effect's row in the catalog says what each value means: beside its number the dialog shows
// it in the row's unit (186 ms, ×2.00 (+6.0 dB), L 40 %), and a parameter the effect does not
// use has no slider. A code outside the catalog shows all three sliders and numbers only.
class FrmFX : public QDialog
{
    Q_OBJECT

public:
    FrmFX(int32_t code, const EffectSetting& setting, UiServices& ui, QWidget* parent = nullptr);
    ~FrmFX() override;

    // The record as the dialog leaves it.
    const EffectSetting& setting() const { return m_setting; }

    void accept() override; // OK
    void reject() override; // Cancel and the close button

private:
    void fillControls();
    void showUnit(int row, int value);
    void storeSliders();
    void cmdLoad_Click();
    void cmdSave_Click();

    std::unique_ptr<Ui::FrmFX> ui;
    int32_t m_code;
    EffectSetting m_setting;
    UiServices& m_services;
};

} // namespace vumo::fx
