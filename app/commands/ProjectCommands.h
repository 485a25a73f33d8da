// ProjectCommands: what choosing the first project at start-up needs from the main window (the
// window implements it; start-up tests hand in their own).
#pragma once

#include <QString>

namespace vumo
{

class ProjectCommands
{
public:
    virtual ~ProjectCommands() = default;
    virtual void OpenProject(const QString& path) = 0;
    // Open of a ".cab": unpacks the cabinet and opens its project.
    virtual void OpenCabinet(const QString& path) = 0;
    virtual void mnuFileOpen() = 0;
    virtual void NewAtStartup() = 0;
    virtual QString projectFile() const = 0; // FILESPEC
};

} // namespace vumo
