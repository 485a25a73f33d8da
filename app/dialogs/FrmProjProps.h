// FrmProjProps: the Project Settings dialog: the title and the memory per track, with the
// recording time and memory figures they give.
#pragma once

#include "model/ModVumo.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <optional>

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

// Shows a project's title and length; OK checks the memory they need and closes with the values
// set (values()), Cancel or the window's close button without any. The memory bar runs upside
// down: the MB is 256 - the bar's value.
class FrmProjProps : public QDialog
{
    Q_OBJECT

public:
    // shown: the title and track length shown at first; cancellable false hides Cancel (the
    // start-up New; closing the window still cancels). physicalMB: the machine's physical memory
    // in whole MB, shown and checked against.
    FrmProjProps(const ProjectProps& shown, bool cancellable, UiServices& ui, int64_t physicalMB,
                 QWidget* parent = nullptr);
    ~FrmProjProps() override;

    // What OK set: the title (its stored bytes when left as shown), the length and the recording
    // time shown for it.
    const ProjectProps& values() const { return m_values; }

private:
    void memMoved(int value);
    void UpdateRecTime();
    void ok();
    int32_t memoryMB() const;

    std::unique_ptr<Ui::FrmProjProps> ui;
    ProjectProps m_values;
    UiServices& m_services;
};

// Shows FrmProjProps modally through ui: the values OK set, nothing when it was cancelled.
std::optional<ProjectProps> runProjectSettings(UiServices& ui, const ProjectProps& shown,
                                               bool cancellable, int64_t physicalMB,
                                               QWidget* parent = nullptr);

} // namespace vumo
