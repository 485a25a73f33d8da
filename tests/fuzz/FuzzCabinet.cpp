// Fuzz target: cabinet files from elsewhere: unpacked, nothing lands outside the folder; opened,
// the sandbox machine's invariants hold (FuzzCabinetSandbox.h).
#include "FuzzCabinetSandbox.h"
#include "FuzzSupport.h"
#include "cabinet/Cabinet.h"

#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Seeds name their tracks in this sandbox's user folder.
    static fuzz::CabinetSandbox sandbox("/tmp/vumo-fuzz-cabinet");
    fuzz::InputFile cabinet(data, size, ".cab");
    std::vector<std::string> names;
    std::string error;
    if (!vumo::cab::listCabinet(cabinet.path(), names, error))
        return 0;
    const std::filesystem::path folder = cabinet.path() + ".d";
    std::filesystem::create_directories(folder);
    vumo::cab::extractCabinet(cabinet.path(), folder.string());
    // Nothing may land outside the folder: every file there has a plain name.
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec))
        if (entry.path().parent_path() != folder)
            __builtin_trap();
    std::filesystem::remove_all(folder, ec);
    sandbox.openAndCheck(cabinet.path());
    return 0;
}
