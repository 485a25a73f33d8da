// The engine error message shared by every command, with the reasons for the engine's codes.
#include "services/UiServices.h"

#include "engineapi/EngineBinding.h"

namespace vumo
{

QString engineReason(int32_t rc)
{
    switch (rc)
    {
    case 10:
        return QStringLiteral("The file has no RIFF header: it is not a wave file.");
    case 11:
        return QStringLiteral("The file is not a WAVE file.");
    case 12:
        return QStringLiteral("The file has no format chunk where it should be.");
    case 13:
        return QStringLiteral("The file does not hold PCM samples.");
    case 14:
        return QStringLiteral("The file does not hold 16-bit samples.");
    case 15:
        return QStringLiteral("The file does not exist or cannot be read, or it is no wave file "
                              "a track can take (a device, a pipe, a folder or a file larger "
                              "than the longest track).");
    case 16:
        return QStringLiteral("The file holds no sample data.");
    case EngineBinding::kUnavailable:
        return QStringLiteral("The engine library wavorn is missing or incomplete.");
    default:
        return {};
    }
}

bool checkEngine(UiServices& ui, const char* exportName, int32_t rc)
{
    if (rc == 0)
        return true;
    QString text = QStringLiteral("Error in %1: %2").arg(QLatin1String(exportName)).arg(rc);
    if (const QString reason = engineReason(rc); !reason.isEmpty())
        text += u'\n' + reason;
    ui.message(text);
    return false;
}

} // namespace vumo
