// The application folder, kept apart from the folders code is loaded from, and path joining with
// the platform's separator.
#include "settings/AppFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// Where an installed program's libraries and data are, from its own folder (cmake/install.cmake).
#ifndef VUMO_LIBDIR_FROM_BIN
#define VUMO_LIBDIR_FROM_BIN "../lib"
#endif
#ifndef VUMO_DATADIR_FROM_BIN
#define VUMO_DATADIR_FROM_BIN "../share"
#endif

namespace vumo
{
namespace
{

// The folder's canonical path when it exists, else its cleaned absolute path.
QString comparable(const QString& folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

// The per-user data folder, the same for the studio and the tools.
QString userDataFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/Vumo/Vumo");
    QDir().mkpath(data);
    return QDir::toNativeSeparators(data);
}

} // namespace

QStringList codeFolders(const QString& programFolder)
{
    const QString libraries = programFolder + QStringLiteral("/" VUMO_LIBDIR_FROM_BIN);
    QStringList folders{comparable(programFolder),
                        comparable(programFolder + QStringLiteral("/../lib")),
                        comparable(libraries), comparable(libraries + QStringLiteral("/vumo"))};
    folders.removeDuplicates();
    return folders;
}

AppFolderChoice chooseApplicationFolder(const QString& home, const QString& programFolder)
{
    const QString program = QDir::toNativeSeparators(programFolder);
    if (!home.isEmpty())
    {
        if (!codeFolders(programFolder).contains(comparable(home)))
            return {QDir::toNativeSeparators(home), {}};
        const QString data = userDataFolder();
        return {data, QStringLiteral("VUMO_HOME names %1, a folder Vumo's programs and libraries "
                                     "are loaded from. Working files (the clipboard, new tracks, "
                                     "cabinets) go to %2 instead.")
                          .arg(QDir::toNativeSeparators(home), data)};
    }
    const QString data = userDataFolder();
    if (!QFileInfo(programFolder).isWritable())
        return {data, {}};
    return {data, QStringLiteral("Working files (the clipboard, new tracks, cabinets) go to %1, "
                                 "not beside the program in %2, so that no file can replace the "
                                 "program or its libraries. Set VUMO_HOME to choose another "
                                 "folder.")
                      .arg(data, program)};
}

AppFolderChoice applicationFolderChoice()
{
    return chooseApplicationFolder(qEnvironmentVariable("VUMO_HOME"),
                                   QCoreApplication::applicationDirPath());
}

QString applicationFolder()
{
    return applicationFolderChoice().path;
}

QString joinPath(const QString& folder, const QString& name)
{
    const QString sep = QDir::separator();
    if (folder.endsWith(sep) || folder.endsWith(u'/'))
        return QDir::toNativeSeparators(folder + name);
    return QDir::toNativeSeparators(folder + sep + name);
}

QString helpPagePath(const QString& appFolder)
{
    const QString page = joinPath(appFolder, QStringLiteral("vumo.htm"));
    if (QFileInfo::exists(page))
        return page;
    // Beside the program in a build; in the data folder of an installed program.
    const QString program = QCoreApplication::applicationDirPath();
    const QString beside = joinPath(program, QStringLiteral("vumo.htm"));
    const QString installed =
        QDir::cleanPath(program + QStringLiteral("/" VUMO_DATADIR_FROM_BIN "/vumo/vumo.htm"));
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed))
        return QDir::toNativeSeparators(installed);
    return beside;
}

} // namespace vumo
