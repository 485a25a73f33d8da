// The track table handed to the engine, and the shared checks of the track commands.
#include "commands/TrackTable.h"

#include "engineapi/EngineBinding.h"
#include "engineapi/EngineSession.h"
#include "files/WaveSampleFormat.h"
#include "model/ModVumo.h"
#include "services/UiServices.h"

#include <cstdio>
#include <unistd.h>

namespace vumo
{

bool trackFileExists(const QByteArray& path)
{
    return !path.isEmpty() && ::access(path.constData(), F_OK) == 0;
}

void removeTrackFile(const QByteArray& path)
{
    if (trackFileExists(path))
        std::remove(path.constData());
}

void PushAllTracks(EngineSession& session, const ModVumo& mod, UiServices& ui)
{
    if (!session.isOpen())
        return;
    EngineBinding& engine = session.engine();
    engine.ClearTracks();
    for (int k = 0; k < mod.trackCount; ++k)
    {
        const TrackRecord& t = mod.tracks[k];
        checkEngine(ui, "SetTrackInfo", engine.SetTrackInfo(k, t.fileName.text().constData()));
        engine.SetTrackAttr(k, t.mute == 1 ? 0 : t.volume, t.pan);
    }
}

QByteArray premixSource(const ModVumo& mod, int current)
{
    QByteArray source = QByteArray::number(mod.trackCount);
    for (int k = 0; k < mod.trackCount; ++k)
    {
        const TrackRecord& t = mod.tracks[k];
        if (k == current || t.mute == 1 || t.volume == 0)
            continue; // the engine leaves these out of the premix
        source += '\n' + QByteArray::number(k) + ' ' + QByteArray::number(t.volume) + ' ' +
                  QByteArray::number(t.pan) + ' ' + t.fileName.text();
    }
    return source;
}

int32_t switchToTrack(EngineSession& session, const ModVumo& mod, UiServices& ui, int track,
                      int32_t reload)
{
    PushAllTracks(session, mod, ui);
    const int32_t rc = session.engine().SetCurTrack(track, reload);
    // -1: the pending edits were not written, and perhaps nothing was reloaded.
    if (reload != 0)
        session.setPremixSource(rc < 0 ? QByteArray() : premixSource(mod, track));
    return rc;
}

bool refreshPremix(EngineSession& session, const ModVumo& mod, UiServices& ui, int current)
{
    if (!session.isOpen())
        return false;
    if (current < 0 || current >= mod.trackCount ||
        session.premixSource() == premixSource(mod, current))
    {
        PushAllTracks(session, mod, ui);
        return false;
    }
    // A track file that cannot be loaded was silent before and stays so; only a failed write of
    // the pending edits is news.
    if (switchToTrack(session, mod, ui, current, -1) < 0)
        checkEngine(ui, "SetCurTrack", -1);
    return true;
}

bool checkLoad(UiServices& ui, const char* exportName, int32_t rc, const QString& file)
{
    // The loader refuses such files with 12 (a chunk before the format), 13 or 14.
    const QString named = rc >= 12 && rc <= 14 ? files::sampleFormatRefusal(file) : QString();
    if (named.isEmpty())
        return checkEngine(ui, exportName, rc);
    ui.message(QStringLiteral("Error in %1: %2\n%3")
                   .arg(QLatin1String(exportName), QString::number(rc), named));
    return false;
}

bool engineReady(const EngineSession& session, UiServices& ui)
{
    if (session.isOpen())
        return true;
    ui.message(QStringLiteral("The audio engine is not open. Open a project, or choose File "
                              "Properties to open the engine again."),
               MsgIcon::Exclamation);
    return false;
}

bool trackSelected(int chosenTrack, int trackCount, UiServices& ui)
{
    if (chosenTrack >= 0 || trackCount == 0)
        return true;
    ui.message(QStringLiteral("No track selected."));
    return false;
}

} // namespace vumo
