// The engine error message shared by every command.
#include "services/UiServices.h"

namespace vumo
{

bool checkEngine(UiServices& ui, const char* exportName, int32_t rc)
{
    if (rc == 0)
        return true;
    ui.message(QStringLiteral("Error in %1: %2").arg(QLatin1String(exportName)).arg(rc));
    return false;
}

} // namespace vumo
