// The application folder: where the clipboard file, new track files and the help page live.
#pragma once

#include <QString>

namespace vumo
{

// VUMO_HOME when set; otherwise the executable's folder when it is writable; otherwise the
// per-user application-data folder (created when missing). Native separators.
QString applicationFolder();

// folder + the platform's separator + name, without doubling a separator already there.
QString joinPath(const QString& folder, const QString& name);

// The help page: "vumo.htm" in the application folder, or beside the executable when the
// application folder has none (the page is installed with the program).
QString helpPagePath(const QString& appFolder);

} // namespace vumo
