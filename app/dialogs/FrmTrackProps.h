// FrmTrackProps: the Track Properties dialog: the current track's title and wave file.
#pragma once

#include "model/ModVumo.h"

#include <QDialog>

#include <memory>

namespace Ui
{
class FrmTrackProps;
}

namespace vumo
{

class UiServices;

// Edits tracks[currentTrack]. OK needs both a title and a file name, and a file name the
// track record and the engine can hold whole; Cancel (or closing) sets mod.dialogCancelled.
class FrmTrackProps : public QDialog
{
    Q_OBJECT

public:
    FrmTrackProps(ModVumo& mod, UiServices& ui, QWidget* parent = nullptr);
    ~FrmTrackProps() override;

    void reject() override;

private:
    void browse();
    void ok();

    std::unique_ptr<Ui::FrmTrackProps> ui;
    ModVumo& m_mod;
    UiServices& m_services;
};

} // namespace vumo
