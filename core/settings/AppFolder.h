// The application folder: where the clipboard file, new track files and cabinets' working files
// go. It is never a folder that Vumo's programs or libraries are loaded from, so that no file of
// a project or a cabinet can ever replace them.
#pragma once

#include <QString>
#include <QStringList>

namespace vumo
{

struct AppFolderChoice
{
    QString path;   // native separators
    QString notice; // why the program's folder was passed over, to tell the user; else empty
};

// The folders Vumo's code is loaded from: the program's folder, and the library folders beside
// it ("../lib", and the installed library folder with its "vumo" folder of modules) from which
// an installed program loads the engine and its modules.
QStringList codeFolders(const QString& programFolder);

// home (VUMO_HOME) when it is set and names no folder code is loaded from; otherwise the
// per-user data folder (created when missing). The notice says so when home named a code
// folder, or when home is unset and the program's folder is writable (where the application
// folder used to be).
AppFolderChoice chooseApplicationFolder(const QString& home, const QString& programFolder);

// chooseApplicationFolder with VUMO_HOME and the running program's folder.
AppFolderChoice applicationFolderChoice();
QString applicationFolder();

// folder + the platform's separator + name, without doubling a separator already there.
QString joinPath(const QString& folder, const QString& name);

// The help page: "vumo.htm" in the application folder, or beside the executable when the
// application folder has none (a build), or in the installed data folder ("share/vumo").
QString helpPagePath(const QString& appFolder);

} // namespace vumo
