// A project's cabinet from the studio's side.
#include "ProjectCabinet.h"

#include "CabinetScript.h"

#include "project/FixedField.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vumo::cab
{
namespace
{

std::string bytes(const QString& text)
{
    return text.toLocal8Bit().toStdString();
}

std::string inFolder(const QString& folder, const char* name)
{
    return bytes(QDir(folder).filePath(QString::fromLatin1(name)));
}

QString writeAll(const QString& folder, std::initializer_list<std::pair<const char*, Lines>> files)
{
    for (const auto& [name, lines] : files)
    {
        const std::string error = writeLines(inFolder(folder, name), lines);
        if (!error.empty())
            return QString::fromLocal8Bit(error.c_str());
    }
    return {};
}

} // namespace

QString writeCreateFiles(const QString& appFolder, const QString& projectPath,
                         const project::ProjectData& project)
{
    if (projectPath.trimmed().isEmpty())
        return QStringLiteral("The project has no file yet: save it before creating a cabinet.");
    CabinetProject p{project.projTitle.toStdString(), bytes(projectPath), {}};
    for (const project::TrackRecordData& t : project.tracks)
        p.trackFiles.push_back(t.fileName.toStdString());
    return writeAll(appFolder, {{kChainFile, createChainLines(p)},
                                {kRestoreFile, restoreChainLines(p)},
                                {kDirectiveFile, directiveLines(p)}});
}

QString cabinetPathFor(const QString& appFolder, const project::ProjectData& project)
{
    const QString title = QString::fromLocal8Bit(project.projTitle);
    return QDir(QDir(appFolder).filePath(title)).filePath(title + QStringLiteral(".cab"));
}

QString writeOpenFiles(const QString& appFolder, const QString& cabinetPath, QString& base)
{
    std::string name;
    const Lines chain = openChainLines(bytes(cabinetPath), name);
    base = QString::fromLocal8Bit(name.c_str());
    if (chain.empty())
        return QStringLiteral("Unable to open CAB file!");
    return writeAll(appFolder, {{kDirectiveFile, {kMarkerText}}, {kChainFile, chain}});
}

OpenedCabinet finishOpen(const QString& appFolder, const QString& base,
                         const QMap<QByteArray, QByteArray>& relocations)
{
    OpenedCabinet opened;
    opened.projectPath = appFolder + QStringLiteral("/") + base + QStringLiteral(".vum");
    if (!QFileInfo::exists(opened.projectPath))
    {
        opened.error = QStringLiteral("Not a valid Vumo CAB!");
        return opened;
    }
    project::ProjectReadResult read = project::readProject(opened.projectPath);
    if (!read.ok())
    {
        opened.error = read.error;
        return opened;
    }
    bool changed = false;
    for (project::TrackRecordData& t : read.project.tracks)
    {
        const auto moved = relocations.find(t.fileName);
        if (moved != relocations.end())
        {
            opened.relocated << project::displayText(t.fileName) + QStringLiteral(" -> ") +
                                    project::displayText(moved.value());
            t.fileName = moved.value();
            changed = true;
        }
        if (!QFile::exists(QFile::decodeName(t.fileName)))
            opened.missingTracks << project::displayText(t.fileName);
    }
    if (changed)
        opened.error = project::writeProject(opened.projectPath, read.project);
    return opened;
}

} // namespace vumo::cab
