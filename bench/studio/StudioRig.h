// StudioRig: the studio the timing programs drive. StudioHome is a private application folder
// on the virtual devices; StudioWindow the real main window over the real engine with the tests'
// scripted answers, shown at the size the screenshots use.
#pragma once

#include "engineapi/EngineApi.h"
#include "mainwin/frmVumo.h"
#include "model/ProjectModel.h"
#include "support/ScriptedUiServices.h"

#include <QFile>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

namespace vumo::bench
{

struct StudioHome
{
    QTemporaryDir dir;

    StudioHome()
    {
        qputenv("VUMO_HOME", QFile::encodeName(dir.path()));
        qputenv("VUMO_AUDIO_BACKEND", "virtual");
        qputenv("VUMO_MIDI_BACKEND", "virtual");
    }
    QString filePath(const QString& name) const { return dir.filePath(name); }
};

struct StudioWindow
{
    explicit StudioWindow(const StudioHome& home)
        : store(home.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat)
    {
        window.resize(1000, 560);
        window.show();
    }

    ProjectModel model;
    EngineApi engine;
    ScriptedUiServices ui;
    QSettings store;
    frmVumo window{model, engine, ui, store};
};

} // namespace vumo::bench
