// Start-up choice of the first project.
#include "settings/StartUp.h"

#include "commands/ProjectCommands.h"
#include "services/UiServices.h"

#include <QDir>

namespace vumo
{

QString cleanCommandLine(const QStringList& arguments)
{
    QString line = arguments.mid(1).join(u' ');
    line.remove(u'"');
    return line;
}

QString commandLineFile(const QStringList& arguments)
{
    const QString line = cleanCommandLine(arguments);
    return line.isEmpty() ? line : QDir::current().absoluteFilePath(line);
}

bool namesProjectFile(const QString& commandLine)
{
    return commandLine.right(3).toUpper() == QStringLiteral("VUM");
}

bool namesCabinetFile(const QString& commandLine)
{
    return commandLine.right(3).toUpper() == QStringLiteral("CAB");
}

void chooseFirstProject(const QString& commandLine, UiServices& ui, ProjectCommands& commands)
{
    if (namesProjectFile(commandLine))
    {
        commands.OpenProject(commandLine);
        return;
    }
    if (namesCabinetFile(commandLine))
    {
        commands.OpenCabinet(commandLine);
        if (!commands.projectFile().isEmpty())
            return;
    }
    if (ui.ask(QStringLiteral("Do you want to open an existing project?")) == Answer::Yes)
    {
        commands.mnuFileOpen();
        if (commands.projectFile().isEmpty())
            commands.NewAtStartup();
        return;
    }
    commands.NewAtStartup();
}

} // namespace vumo
