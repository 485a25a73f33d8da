// The track table handed to the engine, and the shared checks of the track commands.
#include "commands/TrackTable.h"

#include "engineapi/EngineBinding.h"
#include "engineapi/EngineSession.h"
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
