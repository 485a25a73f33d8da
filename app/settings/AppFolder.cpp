// The application folder and path joining with the platform's separator.
#include "settings/AppFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vumo
{

QString applicationFolder()
{
    const QString home = qEnvironmentVariable("VUMO_HOME");
    if (!home.isEmpty())
        return QDir::toNativeSeparators(home);
    const QString exeFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo(exeFolder).isWritable())
        return QDir::toNativeSeparators(exeFolder);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return QDir::toNativeSeparators(data);
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
    return joinPath(QCoreApplication::applicationDirPath(), QStringLiteral("vumo.htm"));
}

} // namespace vumo
