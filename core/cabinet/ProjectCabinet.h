// A project's cabinet from the studio's side: the working files Create Cab and OpenCabinet
// write into the application folder, the project file's reader and writer the chain needs to
// check and open a cabinet, and what opening leaves: the unpacked project, with the track
// records of tracks restored beside it pointing there. The studio (which starts the chain as its
// own program) and vumo-cab (which runs it in-process) share this code.
#pragma once

#include "ChainRunner.h"
#include "project/ProjectFile.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace vumo::cab
{

// Writes "vumocab.bat", "unshortn.bat" and "vumo.ddf" for the project saved at projectPath.
// Returns an empty text, or the message for the user; then nothing is written. Refused: a
// project without a file name; a title, project path or track path holding a control character
// (a line feed would start a chain line of its own); a track file that is not a regular wave
// file of 16-bit samples (a FIFO, a device, a file larger than any track) or holds more frames
// than the project's track length (the cabinet could not be opened). The message names the
// track.
QString writeCreateFiles(const QString& appFolder, const QString& projectPath,
                         const project::ProjectData& project);

// Where Create Cab puts the cabinet: application folder / title / title ".cab".
QString cabinetPathFor(const QString& appFolder, const project::ProjectData& project);

// Writes the completion marker "vumo.ddf" and the chain that opens cabinetPath. base receives
// the cabinet's name. Returns an empty text, "Unable to open CAB file!" for a path without a
// name, or why the chain could not be written (a path holding a control character included).
QString writeOpenFiles(const QString& appFolder, const QString& cabinetPath, QString& base);

// Removes the working files an open wrote ("vumocab.bat" and the marker "vumo.ddf"): a failed
// open leaves the application folder as it found it.
void removeOpenFiles(const QString& appFolder);

// The project file's reader and writer, for the chain runner.
ProjectAccess projectAccess();

// Tracks restored beside the project: stored path, restored path.
using Relocations = QList<QPair<QByteArray, QByteArray>>;

struct OpenedCabinet
{
    QString projectPath;       // the project the chain left in the application folder
    QString error;             // "Not a valid Vumo CAB!" or why the project cannot be read
    QStringList relocated;     // "stored -> restored" for each track restored beside it
    QStringList missingTracks; // track files the project names that are not there
};

// What the chain left: the project at projectPath (as the chain reported it; empty when it
// reported none).
OpenedCabinet finishOpen(const QString& projectPath, const Relocations& relocations);

} // namespace vumo::cab
