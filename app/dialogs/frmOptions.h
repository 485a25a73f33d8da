// frmOptions: the Options dialog: tempo, MIDI buffer, default track length, MIDI input
// device, the outside mixer and sequencer programs, and which file dialog chooses files.
#pragma once

#include "model/ModVumo.h"

#include <QDialog>
#include <QStringList>

#include <memory>
#include <optional>

namespace Ui
{
class frmOptions;
}

namespace vumo
{

class UiServices;

// What the Options dialog sets: the per-user settings and the open project's tempo.
struct OptionsValues
{
    StudioSettings settings;
    int32_t tempo = 100;
};

// Shows the settings and the tempo; OK checks the numbers typed and closes with the values set
// (values()), Cancel or the window's close button without any. Each bar runs upside down: the
// number is 256 - the bar's value (top 256, bottom 1).
class frmOptions : public QDialog
{
    Q_OBJECT

public:
    // midiInputs: the names of the MIDI input devices, in device order.
    frmOptions(const OptionsValues& shown, UiServices& ui, const QStringList& midiInputs,
               QWidget* parent = nullptr);
    ~frmOptions() override;

    const OptionsValues& values() const { return m_values; }

private:
    void fill(const QStringList& midiInputs);
    void tempoMoved(int value);
    void megMoved(int value);
    void bufLenMoved(int value);
    void browseMidi();
    void browseMixer();
    void ok();

    std::unique_ptr<Ui::frmOptions> ui;
    OptionsValues m_values;
    UiServices& m_services;
};

// Shows frmOptions modally through ui: the values OK set, nothing when it was cancelled.
std::optional<OptionsValues> runOptions(UiServices& ui, const OptionsValues& shown,
                                        const QStringList& midiInputs, QWidget* parent = nullptr);

} // namespace vumo
