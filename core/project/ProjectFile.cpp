// ProjectFile: reads and writes the project file (".vum").
#include "project/ProjectFile.h"

#include "files/ReadFile.h"
#include "files/SafeWrite.h"
#include "project/FixedField.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace vumo::project
{
namespace
{

// Header offsets.
constexpr int kTitleAt = 4;
constexpr int kTrackLengthAt = 20;
constexpr int kTrackCountAt = 24;
constexpr int kTempoAt = 26;
constexpr int kProjReservedAt = 30;
// Record offsets.
constexpr int kFileNameAt = 16;
constexpr int kVolumeAt = 144;
constexpr int kPanAt = 146;
constexpr int kMuteAt = 148;
constexpr int kTrackReservedAt = 150;
constexpr qint64 kLongestFile = kHeaderBytes + qint64(kRecordBytes) * kMaxTracks;

template <class T> T readLE(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<T>(bytes.constData() + at);
}

template <class T> void appendLE(QByteArray& bytes, T value)
{
    char le[sizeof(T)];
    qToLittleEndian(value, le);
    bytes.append(le, sizeof le);
}

// A raw field carried unchanged, made exactly size bytes long (NUL filled) if it was not.
QByteArray rawField(const QByteArray& bytes, int size)
{
    QByteArray field = bytes.left(size);
    field.append(size - field.size(), '\0');
    return field;
}

bool isControl(char c)
{
    return uint8_t(c) < 0x20 || uint8_t(c) == 0x7F;
}

// A line feed or another control character has no place in a track's file name: Vumo writes
// the names into its batch files, where a line feed would start a line of its own.
QString checkControlCharacters(const QByteArray& path)
{
    if (!std::any_of(path.begin(), path.end(), isControl))
        return {};
    QByteArray shown = path;
    std::replace_if(shown.begin(), shown.end(), isControl, '?');
    return QStringLiteral("The track file name %1 holds a control character (a line feed, a "
                          "tab, ...).")
        .arg(displayText(shown));
}

QString damaged(const QString& path, const QString& why)
{
    return QStringLiteral("The project file %1 is damaged: %2").arg(path, why);
}

TrackRecordData decodeRecord(const QByteArray& bytes, qsizetype at)
{
    TrackRecordData track;
    track.title = fieldText(bytes.mid(at, kTitleBytes));
    track.fileName = fieldText(bytes.mid(at + kFileNameAt, kFileNameBytes));
    track.volume = readLE<int16_t>(bytes, at + kVolumeAt);
    track.pan = readLE<int16_t>(bytes, at + kPanAt);
    track.mute = readLE<int16_t>(bytes, at + kMuteAt);
    track.reserved = bytes.mid(at + kTrackReservedAt, kTrackReservedBytes);
    return track;
}

void appendRecord(QByteArray& bytes, const TrackRecordData& track)
{
    bytes.append(padField(track.title, kTitleBytes));
    bytes.append(padField(track.fileName, kFileNameBytes));
    appendLE<int16_t>(bytes, track.volume);
    appendLE<int16_t>(bytes, track.pan);
    appendLE<int16_t>(bytes, track.mute);
    bytes.append(rawField(track.reserved, kTrackReservedBytes));
}

QByteArray encodeProject(const ProjectData& project)
{
    QByteArray bytes;
    bytes.reserve(kHeaderBytes + kRecordBytes * project.tracks.size());
    bytes.append(rawField(project.projVersion, kVersionBytes));
    bytes.append(padField(project.projTitle, kTitleBytes));
    appendLE<int32_t>(bytes, project.trackLength);
    appendLE<int16_t>(bytes, int16_t(project.tracks.size()));
    appendLE<int32_t>(bytes, project.tempo);
    bytes.append(rawField(project.projReserved, kProjReservedBytes));
    for (const TrackRecordData& track : project.tracks)
        appendRecord(bytes, track);
    return bytes;
}

} // namespace

ProjectData newProjectData(int32_t memoryMB)
{
    ProjectData project;
    project.projVersion = "1.00";
    project.projTitle = "untitled";
    project.trackLength = memoryMB * kFramesPerMB;
    project.tempo = kDefaultTempo;
    return project;
}

ProjectReadResult readProject(const QString& path)
{
    ProjectReadResult result;
    // Only a regular file is read (a FIFO or a device named by a project from elsewhere would
    // stall the window for good); bytes after the last record are ignored.
    QByteArray bytes;
    if (const QString why = files::readWholeFile(path, files::kMaxDocumentBytes, bytes);
        !why.isEmpty())
    {
        result.error = QStringLiteral("Unable to open the project file %1: %2").arg(path, why);
        return result;
    }
    bytes.truncate(kLongestFile);
    if (bytes.size() < kHeaderBytes)
    {
        result.error = damaged(path, QStringLiteral("it has %1 bytes, shorter than the %2 of "
                                                    "its header.")
                                         .arg(bytes.size())
                                         .arg(kHeaderBytes));
        return result;
    }
    const int16_t trackCount = readLE<int16_t>(bytes, kTrackCountAt);
    const int32_t trackLength = readLE<int32_t>(bytes, kTrackLengthAt);
    if (trackCount < 0 || trackCount > kMaxTracks)
    {
        result.error = damaged(path, QStringLiteral("it holds %1 tracks; a project has 0 to %2.")
                                         .arg(trackCount)
                                         .arg(kMaxTracks));
        return result;
    }
    if (trackLength < 1 || trackLength > kMaxTrackLength)
    {
        result.error = damaged(path, QStringLiteral("its track length of %1 frames is outside 1 "
                                                    "frame to 256 MB (%2 frames).")
                                         .arg(trackLength)
                                         .arg(kMaxTrackLength));
        return result;
    }
    const qsizetype needed = kHeaderBytes + qsizetype(kRecordBytes) * trackCount;
    if (bytes.size() < needed)
    {
        result.error = damaged(path, QStringLiteral("it has %1 bytes, but its header and %2 track "
                                                    "records need %3.")
                                         .arg(bytes.size())
                                         .arg(trackCount)
                                         .arg(needed));
        return result;
    }

    ProjectData& project = result.project;
    project.projVersion = bytes.left(kVersionBytes);
    project.projTitle = fieldText(bytes.mid(kTitleAt, kTitleBytes));
    project.trackLength = trackLength;
    const int32_t tempo = readLE<int32_t>(bytes, kTempoAt);
    project.tempo = tempo == 0 ? kDefaultTempo : tempo;
    project.projReserved = bytes.mid(kProjReservedAt, kProjReservedBytes);
    for (int k = 0; k < trackCount; ++k)
        project.tracks.append(decodeRecord(bytes, kHeaderBytes + qsizetype(kRecordBytes) * k));
    for (int k = 0; k < trackCount; ++k)
        if (const QString refused = checkControlCharacters(project.tracks[k].fileName);
            !refused.isEmpty())
        {
            result.error = damaged(path, QStringLiteral("track %1: %2").arg(k + 1).arg(refused));
            result.project = {};
            return result;
        }
    return result;
}

QString writeProject(const QString& path, const ProjectData& project)
{
    if (project.tracks.size() > kMaxTracks)
        return QStringLiteral("Unable to save the project file %1: it has %2 tracks; a project "
                              "has at most %3.")
            .arg(path)
            .arg(project.tracks.size())
            .arg(kMaxTracks);
    for (const TrackRecordData& track : project.tracks)
    {
        const QString refused = checkTrackPath(track.fileName);
        if (!refused.isEmpty())
            return QStringLiteral("Unable to save the project file %1: %2").arg(path, refused);
    }

    const QString why = files::writeFileSafely(path, encodeProject(project));
    if (!why.isEmpty())
        return QStringLiteral("Unable to save the project file %1: %2").arg(path, why);
    return QString();
}

QString checkTrackPath(const QString& path)
{
    return checkTrackPath(QFile::encodeName(path));
}

QString checkTrackPath(const QByteArray& path)
{
    if (path.contains('\0'))
        return QStringLiteral("The track file name %1 holds a NUL character.")
            .arg(displayText(path));
    if (const QString refused = checkControlCharacters(path); !refused.isEmpty())
        return refused;
    if (path.size() > kMaxTrackPathBytes)
        return QStringLiteral("The track file name %1 is too long: %2 bytes, at most %3.")
            .arg(displayText(path))
            .arg(path.size())
            .arg(kMaxTrackPathBytes);
    return QString();
}

bool trackPathFits(const QString& path)
{
    return checkTrackPath(path).isEmpty();
}

} // namespace vumo::project
