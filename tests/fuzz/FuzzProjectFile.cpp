// Fuzz target: project files (".vum") from elsewhere.
#include "FuzzSupport.h"
#include "project/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::InputFile file(data, size, ".vum");
    const vumo::project::ProjectReadResult read =
        vumo::project::readProject(QString::fromStdString(file.path()));
    if (read.ok())
    {
        // What was read writes back and reads again the same.
        vumo::project::writeProject(QString::fromStdString(file.path()), read.project);
        const auto again = vumo::project::readProject(QString::fromStdString(file.path()));
        if (!again.ok() || !(again.project == read.project))
            __builtin_trap();
    }
    return 0;
}
