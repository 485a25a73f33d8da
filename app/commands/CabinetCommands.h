// Create Cab and OpenCabinet: the working files go into the application folder, and the chain
// runs in Vumo's own chain runner, shown in the chain window.
#pragma once

#include "dialogs/FrmChain.h"
#include "project/ProjectFile.h"

#include <QPointer>
#include <QString>

class QWidget;

namespace vumo
{

class UiServices;

class CabinetCommands
{
public:
    CabinetCommands(UiServices& ui, const QString& appFolder, QWidget* parent = nullptr);
    ~CabinetCommands();

    // Create Cab for the project saved at projectPath: writes the working files and starts the
    // chain in its window, then returns at once (the window and a message report the outcome,
    // a runner that cannot be started too). Nothing is written, and false is returned, when the
    // project has no file or its working files cannot be written.
    bool createCab(const QString& projectPath, const project::ProjectData& project);

    // OpenCabinet: starts the chain that unpacks the cabinet, waits in an event loop until its
    // runner has exited, and returns the path of the restored project to open, or an empty text
    // when there is none (the user has been told why, with the chain's reason).
    QString openCabinet(const QString& path);

    // The chain window of the last command (tests watch it).
    FrmChain* chainWindow() const { return m_window; }
    // The chain runner program; unset: vumo-chain beside the studio.
    void setRunner(const QString& program) { m_runner = program; }

private:
    FrmChain* newWindow();

    UiServices& m_ui;
    QString m_appFolder;
    QWidget* m_parent;
    QString m_runner;
    QPointer<FrmChain> m_window;
};

} // namespace vumo
