// frmOptions: the Options dialog: tempo, MIDI buffer, default track length, MIDI input
// device, the outside mixer and sequencer programs, and which file dialog chooses files.
#pragma once

#include "model/ModVumo.h"

#include <QDialog>
#include <QStringList>

#include <memory>

class QSettings;

namespace Ui
{
class frmOptions;
}

namespace vumo
{

class UiServices;

// Each bar runs upside down: the number is 256 - the bar's value (top 256, bottom 1).
class frmOptions : public QDialog
{
    Q_OBJECT

public:
    // midiInputs: the names of the MIDI input devices, in device order.
    frmOptions(ModVumo& mod, UiServices& ui, const QStringList& midiInputs, QSettings& store,
               QWidget* parent = nullptr);
    ~frmOptions() override;

private:
    void fill(const QStringList& midiInputs);
    void tempoMoved(int value);
    void megMoved(int value);
    void bufLenMoved(int value);
    void browseMidi();
    void browseMixer();
    void ok();

    std::unique_ptr<Ui::frmOptions> ui;
    ModVumo& m_mod;
    UiServices& m_services;
    QSettings& m_store;
};

} // namespace vumo
