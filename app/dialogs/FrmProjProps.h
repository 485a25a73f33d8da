// FrmProjProps: the Project Settings dialog: the title and the memory per track, with the
// recording time and memory figures they give.
#pragma once

#include "model/ModVumo.h"

#include <QDialog>

#include <cstdint>
#include <memory>

namespace Ui
{
class FrmProjProps;
}

namespace vumo
{

class UiServices;

// The seconds a track of memoryMB holds (176400 bytes per second), as "mm.ss" rounded to the
// nearest second, halves to even: 1 MB gives "00.06", 256 MB "25.22".
QString recordingTimeText(int32_t memoryMB);

// The memory a project of memoryMB per track needs: three buffers and 1 MB more.
int32_t totalMemoryMB(int32_t memoryMB);

// OK stores the title and the track length into mod; Cancel (or closing the window) sets
// mod.dialogCancelled. The memory bar runs upside down: the MB is 256 - the bar's value.
class FrmProjProps : public QDialog
{
    Q_OBJECT

public:
    // physicalMB: the machine's physical memory in whole MB, shown and checked against.
    FrmProjProps(ModVumo& mod, UiServices& ui, int64_t physicalMB, QWidget* parent = nullptr);
    ~FrmProjProps() override;

    void reject() override;

private:
    void memMoved(int value);
    void UpdateRecTime();
    void ok();
    int32_t memoryMB() const;

    std::unique_ptr<Ui::FrmProjProps> ui;
    ModVumo& m_mod;
    UiServices& m_services;
};

} // namespace vumo
