// TrackFiles: the blank wave file every new track starts with, and the names of new tracks.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vumo::tracks
{

// The 48-byte blank track file: a canonical 16-bit stereo 44100 header and one silent frame.
QByteArray blankWaveBytes();

// Writes the blank track file to path, replacing what is there, through files::writeFileSafely
// (a failed write leaves no cut file). Empty on success, else the reason.
QString writeBlankWave(const QString& path);

// application folder + separator + title + "-" + kind + (track + 1) + ".wav", where kind is
// 't' for Add and 'c' for the clones; the track number is decimal without leading zeros.
QString newTrackFileName(const QString& appFolder, const QString& projectTitle, char kind,
                         int track);

// path itself when nothing is there (no file, no link) and no name in `taken` is it; otherwise
// the first free "NAME-2.wav", "NAME-3.wav", ...: a new track never takes the file of another
// track (after a Delete, "TITLE-t3.wav" can be the file of the track now third) or any other.
QString freeTrackFileName(const QString& path, const QStringList& taken);

// The title of a new track: kind + (track + 1), for example "t3" or "c4".
QString newTrackTitle(char kind, int track);

} // namespace vumo::tracks
