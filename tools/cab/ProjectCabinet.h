// A project's cabinet from the studio's side: the working files Create Cab and OpenCabinet
// write into the application folder, and what opening leaves: the unpacked project, with the
// track records of tracks restored beside it pointing there. The studio (which starts the chain
// as its own program) and vumo-cab (which runs it in-process) share this code.
#pragma once

#include "project/ProjectFile.h"

#include <QMap>
#include <QString>
#include <QStringList>

namespace vumo::cab
{

// Writes "vumocab.bat", "unshortn.bat" and "vumo.ddf" for the project saved at projectPath.
// Returns an empty text, or the message for the user. Nothing is written for a project without
// a file name.
QString writeCreateFiles(const QString& appFolder, const QString& projectPath,
                         const project::ProjectData& project);

// Where Create Cab puts the cabinet: application folder / title / title ".cab".
QString cabinetPathFor(const QString& appFolder, const project::ProjectData& project);

// Writes the completion marker "vumo.ddf" and the chain that opens cabinetPath. base receives
// the cabinet's name. Returns an empty text, "Unable to open CAB file!" for a path without a
// name, or why a file could not be written.
QString writeOpenFiles(const QString& appFolder, const QString& cabinetPath, QString& base);

struct OpenedCabinet
{
    QString projectPath;       // application folder + "/" + base + ".vum"
    QString error;             // "Not a valid Vumo CAB!" or why the project could not be updated
    QStringList relocated;     // "stored -> restored" for each track restored beside it
    QStringList missingTracks; // track files the project names that are not there
};

// What the chain left: the project file of the cabinet's name, its records rewritten for the
// tracks the chain restored elsewhere (relocations: stored path -> restored path).
OpenedCabinet finishOpen(const QString& appFolder, const QString& base,
                         const QMap<QByteArray, QByteArray>& relocations);

} // namespace vumo::cab
