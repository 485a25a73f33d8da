// Fuzz target: a cabinet's batch and directive files. No accepted line names a file outside the
// known forms; a fixed two-track project's cabinet carrying the input as its restore chain keeps
// the sandbox machine's invariants (FuzzCabinetSandbox.h).
#include "FuzzCabinetSandbox.h"
#include "FuzzSupport.h"
#include "cabinet/Cabinet.h"
#include "cabinet/ChainRunner.h"
#include "project/ProjectFile.h"
#include "shorten/Shorten.h"
#include "tests/engine/TestWave.h"

#include <sstream>

namespace
{

constexpr const char* kRoot = "/tmp/vumo-fuzz-cabinet-chain";
constexpr const char* kStaging = "/tmp/vumo-fuzz-cabinet-chain-staging";

// The project (track 1 in the sandbox user's folder, track 2 from Windows) and its streams.
struct FixedProject
{
    FixedProject()
    {
        std::filesystem::create_directories(kStaging);
        vumo::project::ProjectData project = vumo::project::newProjectData(1);
        project.projTitle = "Song";
        project.trackLength = 4000;
        project.tracks = {{"T0", "/tmp/vumo-fuzz-cabinet-chain/user/song/take1.wav"},
                          {"T1", "C:\\song\\take2.wav"}};
        vumo::project::writeProject(QString(kStaging) + "/Song.vum", project);
        for (int k = 0; k < 2; ++k)
        {
            std::vector<uint8_t> stream;
            std::string error;
            vumo::cab::shortenEncode(testwave::waveBytes(testwave::ramp(1000 + 2000 * k, 7 * k)),
                                     stream, error);
            testwave::writeBytes(std::string(kStaging) + "/t" + std::to_string(k) + ".shn", stream);
        }
    }
    ~FixedProject() { std::filesystem::remove_all(kStaging); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    vumo::cab::Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::vector<vumo::cab::ChainStep> steps;
    std::string error;
    if (vumo::cab::parseChain(lines, "unshortn.bat", true, steps, error))
        for (const vumo::cab::ChainStep& s : steps)
            if (s.kind == vumo::cab::ChainStep::Expand &&
                (s.second.size() < 4 || s.second.find('\0') != std::string::npos))
                __builtin_trap();
    fuzz::InputFile ddf(data, size, ".ddf");
    vumo::cab::Directive directive;
    vumo::cab::readDirective(ddf.path(), directive, error);

    static FixedProject project;
    static fuzz::CabinetSandbox sandbox(kRoot);
    const std::string staging = kStaging;
    std::filesystem::copy_file(ddf.path(), staging + "/unshortn.bat",
                               std::filesystem::copy_options::overwrite_existing);
    vumo::cab::Directive cabinet{"Song.cab", {}, false, {}};
    for (const char* name : {"Song.vum", "unshortn.bat", "t0.shn", "t1.shn"})
        cabinet.files.push_back(staging + "/" + name);
    if (vumo::cab::makeCabinet(cabinet, staging).empty())
        sandbox.openAndCheck(staging + "/Song.cab");
    return 0;
}
