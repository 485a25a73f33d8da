// ProjectFile: reads and writes the project file (".vum"): a header of 282 bytes and one
// record of 156 bytes per track, little-endian, texts padded with spaces.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstdint>

namespace vumo::project
{

constexpr int kHeaderBytes = 282;
constexpr int kRecordBytes = 156;
constexpr int kMaxTracks = 17;
constexpr int32_t kFramesPerMB = 262144;
constexpr int32_t kMaxTrackLength = 256 * kFramesPerMB; // frames
constexpr int kVersionBytes = 4;
constexpr int kTitleBytes = 16;
constexpr int kFileNameBytes = 128;
constexpr int kProjReservedBytes = 252;
constexpr int kTrackReservedBytes = 6;
// The engine takes a track path of at most 127 bytes (one byte of the record's 128 stays for
// the terminating NUL it is handed with).
constexpr int kMaxTrackPathBytes = 127;
constexpr int32_t kDefaultTempo = 100; // ms per drum beat; a stored 0 reads as this

// One track record, in file order. Texts are held as the bytes of the file, trimmed of their
// padding (FixedField.h): a name is used and written back exactly as it was read, whatever its
// encoding; project::displayText shows it.
struct TrackRecordData
{
    QByteArray title;
    QByteArray fileName; // full path of the track's wave file, as handed to the engine
    int16_t volume = 255;
    int16_t pan = 127;
    int16_t mute = 0;                                            // 1 = muted
    QByteArray reserved = QByteArray(kTrackReservedBytes, '\0'); // carried unchanged

    bool operator==(const TrackRecordData&) const = default;
};

// The whole project file: the header fields in file order and the track records.
struct ProjectData
{
    QByteArray projVersion = QByteArray(kVersionBytes, '\0'); // never interpreted
    QByteArray projTitle;    // bytes, like the texts of TrackRecordData
    int32_t trackLength = 0; // frames per track buffer
    int32_t tempo = kDefaultTempo;
    QByteArray projReserved = QByteArray(kProjReservedBytes, '\0'); // carried unchanged
    QVector<TrackRecordData> tracks;                                // trackCount = size

    bool operator==(const ProjectData&) const = default;
};

// The project a New starts from: version "1.00", title "untitled", the given memory per track,
// tempo 100 and no tracks.
ProjectData newProjectData(int32_t memoryMB);

struct ProjectReadResult
{
    ProjectData project; // valid only when error is empty
    QString error;       // a message for the user; empty on success
    bool ok() const { return error.isEmpty(); }
};

// Reads a project file. The file is checked completely before anything is returned: a file that
// cannot be opened, is shorter than its header and records, holds a track count outside 0 to 17,
// a track length outside 1 frame to 256 MB or a track path with a control character (a line
// feed, a tab, ...) gives an error and no project.
ProjectReadResult readProject(const QString& path);

// Writes a project file through files::writeFileSafely: a failed save (a full disk included)
// leaves the previous file whole and is reported. Returns an empty text on success, else the
// error. A project with more than 17 tracks or with a track path that does not fit is refused;
// a title longer than its 16 bytes is cut.
QString writeProject(const QString& path, const ProjectData& project);

// Empty when path can name a track file (its encoding fits the engine's 127 bytes and holds no
// NUL or other control character); otherwise the message that refuses it. A path is never cut: a
// cut path names another file.
QString checkTrackPath(const QString& path);
// The same for a path as its bytes (a record of a project file).
QString checkTrackPath(const QByteArray& path);
bool trackPathFits(const QString& path);

} // namespace vumo::project
