// A project's cabinet from the studio's side.
#include "ProjectCabinet.h"

#include "CabinetScript.h"
#include "shorten/Shorten.h"

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

// "\"TEXT\" holds a control character ...", the text shown with "?" for each.
QString holdsControlCharacter(const std::string& text)
{
    return QStringLiteral("\"%1\" holds a control character (a line feed, a tab, ...), which no "
                          "batch or directive file may hold.")
        .arg(QString::fromLocal8Bit(printable(text).c_str()));
}

// Why track k cannot go into a cabinet, or an empty text.
QString checkTrack(int k, const project::TrackRecordData& track, int32_t trackLength)
{
    const QString name =
        QStringLiteral("Track %1 (%2)").arg(k + 1).arg(project::displayText(track.title));
    const std::string path = track.fileName.toStdString();
    if (hasControlCharacter(path))
        return name + QStringLiteral(": its file name ") + holdsControlCharacter(path);
    uint64_t frames = 0;
    std::string error;
    if (!waveFileFrames(path, frames, error))
        return name + QStringLiteral(": ") + QString::fromLocal8Bit(error.c_str());
    if (frames > uint64_t(trackLength))
        return name + QStringLiteral(": its file %1 holds %2 frames, more than the project's "
                                     "track length of %3 frames. A cabinet carries no more than "
                                     "the track length: raise the memory per track (File > "
                                     "Properties) or use a shorter file.")
                          .arg(project::displayText(track.fileName))
                          .arg(frames)
                          .arg(trackLength);
    return {};
}

} // namespace

QString writeCreateFiles(const QString& appFolder, const QString& projectPath,
                         const project::ProjectData& project)
{
    if (projectPath.trimmed().isEmpty())
        return QStringLiteral("The project has no file yet: save it before creating a cabinet.");
    CabinetProject p{project.projTitle.toStdString(), bytes(projectPath), {}};
    if (hasControlCharacter(p.title))
        return QStringLiteral("The project's title ") + holdsControlCharacter(p.title);
    if (hasControlCharacter(p.projectFile))
        return QStringLiteral("The project's file name ") + holdsControlCharacter(p.projectFile);
    for (int k = 0; k < project.tracks.size(); ++k)
    {
        if (const QString refused = checkTrack(k, project.tracks[k], project.trackLength);
            !refused.isEmpty())
            return refused;
        p.trackFiles.push_back(project.tracks[k].fileName.toStdString());
    }
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
    if (hasControlCharacter(bytes(cabinetPath)))
        return QStringLiteral("The cabinet's path ") + holdsControlCharacter(bytes(cabinetPath));
    return writeAll(appFolder, {{kDirectiveFile, {kMarkerText}}, {kChainFile, chain}});
}

void removeOpenFiles(const QString& appFolder)
{
    for (const char* name : {kChainFile, kDirectiveFile})
        QFile::remove(QDir(appFolder).filePath(QString::fromLatin1(name)));
}

ProjectAccess projectAccess()
{
    ProjectAccess access;
    access.read = [](const std::string& path, CabinetRecords& records)
    {
        const project::ProjectReadResult read =
            project::readProject(QFile::decodeName(path.c_str()));
        if (!read.ok())
            return bytes(read.error);
        records.trackLength = read.project.trackLength;
        records.trackFiles.clear();
        for (const project::TrackRecordData& t : read.project.tracks)
            records.trackFiles.push_back(t.fileName.toStdString());
        return std::string();
    };
    access.rewrite = [](const std::string& path, const std::vector<std::string>& trackFiles)
    {
        const QString file = QFile::decodeName(path.c_str());
        project::ProjectReadResult read = project::readProject(file);
        if (!read.ok())
            return bytes(read.error);
        for (qsizetype k = 0; k < read.project.tracks.size() && size_t(k) < trackFiles.size(); ++k)
            read.project.tracks[k].fileName = QByteArray::fromStdString(trackFiles[size_t(k)]);
        return bytes(project::writeProject(file, read.project));
    };
    return access;
}

OpenedCabinet finishOpen(const QString& projectPath, const Relocations& relocations)
{
    OpenedCabinet opened;
    opened.projectPath = projectPath;
    if (projectPath.isEmpty() || !QFileInfo::exists(projectPath))
    {
        opened.error = QStringLiteral("Not a valid Vumo CAB!");
        return opened;
    }
    const project::ProjectReadResult read = project::readProject(opened.projectPath);
    if (!read.ok())
    {
        opened.error = read.error;
        return opened;
    }
    for (const auto& [stored, restored] : relocations)
        opened.relocated << project::displayText(stored) + QStringLiteral(" -> ") +
                                project::displayText(restored);
    for (const project::TrackRecordData& t : read.project.tracks)
        if (!QFile::exists(QFile::decodeName(t.fileName)))
            opened.missingTracks << project::displayText(t.fileName);
    return opened;
}

} // namespace vumo::cab
