// Start-up choice of the first project: the command line, or the opening question.
#pragma once

#include <QString>
#include <QStringList>

namespace vumo
{

class ProjectCommands;
class UiServices;

// The program's arguments joined back into one command line (a path with spaces passed
// without quotes arrives split), with every double-quote character removed.
QString cleanCommandLine(const QStringList& arguments);
// The cleaned command line as a path from the current folder, taken before start-up makes the
// application folder current (a shell passes paths relative to its own folder).
QString commandLineFile(const QStringList& arguments);

// True when the last three characters of the command line, upper-cased, are "VUM".
bool namesProjectFile(const QString& commandLine);
// The same for "CAB": a project cabinet, as the desktop passes one that was opened.
bool namesCabinetFile(const QString& commandLine);

// Opens the project or the cabinet named on the command line, or asks "Do you want to open an
// existing project?": Yes runs Open, and New when no project came of it; No runs New.
void chooseFirstProject(const QString& commandLine, UiServices& ui, ProjectCommands& commands);

} // namespace vumo
