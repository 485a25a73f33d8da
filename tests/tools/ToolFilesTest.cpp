// The tools' files end to end: special files as a vumo-mix track or project or a vumo-fx input
// refused at once; a file size limit fails a write with no part left; a stale part goes.
#include "project/ProjectFile.h"

#include "tests/SpecialFiles.h"
#include "tests/engine/TestWave.h"
#include "tests/tools/CommandRun.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace
{

constexpr int32_t kFrames = 30000; // 120 KB of samples: well past the size limit below

// A project of two tracks, the first at firstTrack, the second a ramp.
std::string writeProject(const testwave::TempDir& dir, const std::string& firstTrack)
{
    vumo::project::ProjectData data = vumo::project::newProjectData(1);
    data.trackLength = kFrames;
    testwave::writeStereo(dir.file("ramp.wav"), testwave::ramp(kFrames, 100));
    for (const std::string& track : {firstTrack, dir.file("ramp.wav")})
        data.tracks.push_back({"t", QByteArray::fromStdString(track)});
    const std::string path = dir.file("song.vum");
    EXPECT_EQ(vumo::project::writeProject(QString::fromStdString(path), data), QString());
    return path;
}

} // namespace

TEST(ToolFiles, SpecialFilesAreRefusedAtOnceAsAMixTrackAMixProjectOrAnEffectInput)
{
    const testwave::TempDir dir;
    for (const auto& [what, path] : specialfiles::make(dir.path() / "special"))
    {
        SCOPED_TRACE(what);
        const std::string out = " '" + dir.file("out.wav") + "'";
        for (const std::string& command :
             {VUMO_MIX_PROGRAM " '" + writeProject(dir, path) + "'" + out,
              VUMO_MIX_PROGRAM " '" + path + "'" + out,
              VUMO_FX_PROGRAM " '" + path + "'" + out + " 1"})
        { // a tool still running after 10 s is stopped (status 124), which no row expects
            const auto r = tooltest::runCommand("timeout 10 " + command + " 2>&1 </dev/null");
            EXPECT_EQ(r.status, 1) << command << "\n" << r.out;
            EXPECT_NE(r.out.find(specialfiles::refusalOf(what)), std::string::npos) << r.out;
            EXPECT_FALSE(fs::exists(dir.file("out.wav")));
        }
    }
}

TEST(ToolFiles, AFileSizeLimitFailsTheWriteWithNoPartLeftAndAStalePartGoesWithTheNextWrite)
{
    const testwave::TempDir dir;
    testwave::writeStereo(dir.file("in.wav"), testwave::ramp(kFrames, 7));
    const std::string project = writeProject(dir, dir.file("in.wav"));
    const std::string out = dir.file("out.wav"), part = out + ".vumo-part";
    const std::string fx = VUMO_FX_PROGRAM " '" + dir.file("in.wav") + "' '" + out + "' 1";
    const std::string mix = VUMO_MIX_PROGRAM " '" + project + "' '" + out + "'";
    // (tool, a size limit in the shell's blocks or none, a stale part left beforehand)
    for (const auto& [tool, limit, stale] : {std::tuple{fx, "ulimit -f 16; ", false},
                                             {mix, "ulimit -f 16; ", true},
                                             {fx, "", true},
                                             {mix, "", true}})
    {
        SCOPED_TRACE(tool + (limit[0] ? " under a size limit" : ""));
        fs::remove(out);
        if (stale)
            testwave::writeBytes(part, std::vector<uint8_t>(300, 'x'));
        const tooltest::CommandRun r =
            tooltest::runCommand(std::string("(") + limit + tool + ") 2>&1 </dev/null");
        EXPECT_EQ(r.status, limit[0] ? 1 : 0) << r.out;
        EXPECT_EQ(r.out.find("cannot write") != std::string::npos, limit[0] != 0) << r.out;
        EXPECT_FALSE(fs::exists(part));
        EXPECT_EQ(fs::exists(out), limit[0] == 0);
        EXPECT_EQ(testwave::readSamples(out).size(), limit[0] ? 0u : 2u * kFrames);
    }
}
