// vumo-cab and vumo-mix end to end: a real project packed and unpacked into a fresh
// application folder, and mixdowns through the engine.
#include "project/ProjectFile.h"

#include "tests/engine/TestWave.h"
#include "tests/tools/CommandRun.h"

#include <gtest/gtest.h>

#include <filesystem>

using testwave::TempDir;
namespace fs = std::filesystem;

namespace
{

// The command with standard error dropped; its output without the trailing newlines.
tooltest::CommandRun run(const std::string& command)
{
    return tooltest::runCommand(command + " 2>/dev/null", true);
}

std::string cab(const TempDir& home, const std::string& args)
{
    return "VUMO_HOME='" + home.path().string() + "' " VUMO_CAB_PROGRAM " " + args;
}

// A project "Song.vum" titled "Song" of ramps in folder/tracks with these mutes.
struct Project
{
    std::string path;
    vumo::project::ProjectData data;
    std::vector<std::vector<uint8_t>> waves;
};

Project makeProject(const fs::path& folder, std::vector<int16_t> mutes = {0, 0, 0})
{
    Project p;
    fs::create_directories(folder / "tracks");
    p.path = (folder / "Song.vum").string();
    p.data = vumo::project::newProjectData(1);
    p.data.projTitle = "Song";
    p.data.trackLength = 8000;
    for (size_t k = 0; k < mutes.size(); ++k)
    {
        const std::string file = (folder / "tracks" / ("t" + std::to_string(k) + ".wav")).string();
        p.data.tracks.push_back(
            {"T" + QByteArray::number(qulonglong(k)), file.c_str(), 255, 127, mutes[k]});
        p.waves.push_back(testwave::waveBytes(testwave::ramp(8000, 1000 * int(k + 1))));
        testwave::writeBytes(file, p.waves.back());
    }
    EXPECT_EQ(vumo::project::writeProject(QString::fromStdString(p.path), p.data), QString());
    return p;
}

} // namespace

TEST(VumoCab, PacksAProjectAndRestoresItOnAnotherMachine)
{
    for (const std::string flag : {"", "--replace", "--keep"}) // "": the track folder is gone
    {
        SCOPED_TRACE(flag);
        TempDir source, home, target;
        const Project p = makeProject(source.path());
        const tooltest::CommandRun created = run(cab(home, "create '" + p.path + "'"));
        ASSERT_EQ(created.status, 0);
        EXPECT_EQ(created.out, home.file("Song/Song.cab"));
        if (!flag.empty())
            for (const auto& t : p.data.tracks)
                testwave::writeBytes(t.fileName.toStdString(), {'o', 'l', 'd'});
        else
            fs::remove_all(source.path() / "tracks");

        const tooltest::CommandRun opened =
            run(cab(target, "open '" + created.out + "' " + flag + " </dev/null"));
        ASSERT_EQ(opened.status, 0);
        EXPECT_EQ(opened.out, target.file("Song.vum"));
        const auto read = vumo::project::readProject(QString::fromStdString(opened.out));
        ASSERT_TRUE(read.ok()) << read.error.toStdString();
        ASSERT_EQ(read.project.tracks.size(), 3);
        for (int k = 0; k < 3; ++k)
        {
            const std::string file = read.project.tracks[k].fileName.toStdString();
            EXPECT_EQ(file, flag != "--replace" ? target.file("t" + std::to_string(k) + ".wav")
                                                : p.data.tracks[k].fileName.toStdString());
            EXPECT_EQ(testwave::readBytes(file), p.waves[size_t(k)]);
            EXPECT_EQ(read.project.tracks[k].title, p.data.tracks[k].title);
        }
    }
}

TEST(VumoMix, MixesAndCutsTheRangeAndBothToolsReportFaults)
{
    TempDir dir;
    const Project all = makeProject(dir.path() / "all", {0, 1, 0});
    const Project two = makeProject(dir.path() / "two", {0, 0});
    const std::string mix = std::string(VUMO_MIX_PROGRAM) + " ";
    const auto mixdown = [&](const Project& p, const std::string& options = "")
    {
        EXPECT_EQ(run(mix + p.path + " " + dir.file("mix.wav") + options).status, 0) << p.path;
        return testwave::readSamples(dir.file("mix.wav"));
    };
    const std::vector<int16_t> whole = mixdown(all);
    ASSERT_EQ(whole.size(), 16000u);
    EXPECT_NE(whole[2 * 5000], 0);
    EXPECT_EQ(mixdown(all, " --from 100 --to 300"),
              std::vector<int16_t>(whole.begin() + 200, whole.begin() + 600));
    fs::remove(all.data.tracks[0].fileName.toStdString());
    // Both tools' exit statuses: 0 help, 1 a file fault, 2 bad arguments.
    const std::pair<std::string, int> errors[] = {
        {mix + all.path + " " + dir.file("x.wav"), 1},
        {mix + two.path + " " + dir.file("x.wav") + " --from 9 --to 8001", 2},
        {mix + dir.file("none.vum") + " " + dir.file("x.wav"), 1},
        {mix + "--help", 0},
        {cab(dir, "pack x.vum"), 2},
        {cab(dir, "open x.cab --maybe"), 2},
        {cab(dir, "create '" + dir.file("missing.vum") + "'"), 1},
        {cab(dir, "open '" + dir.file("missing.cab") + "'"), 1},
    };
    for (const auto& [command, status] : errors)
        EXPECT_EQ(run(command).status, status) << command;
}
