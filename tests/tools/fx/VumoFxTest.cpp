// vumo-fx run end to end on generated wave files: its output must hold exactly the samples
// that the engine's effects give for the same input.
#include "tools/fx/FxCommandLine.h"

#include "engine/fx/FxTable.h"
#include "tests/engine/TestWave.h"
#include "tests/engine/fx/FxTestSupport.h"
#include "tests/tools/CommandRun.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

namespace
{

using Step = std::array<int32_t, 4>; // code, P1, P2, P3

class VumoFx : public ::testing::Test
{
protected:
    testwave::TempDir dir;

    // Standard output and standard error together.
    static tooltest::CommandRun run(const std::string& args)
    {
        return tooltest::runCommand(std::string("'") + VUMO_FX_PROGRAM + "' " + args +
                                    " 2>&1 </dev/null");
    }
    // "'in' 'out' " for files in the temp folder.
    std::string files(const std::string& in = "in.wav", const std::string& out = "out.wav") const
    {
        return "'" + dir.file(in) + "' '" + dir.file(out) + "' ";
    }
    // A loud random stereo input of `frames` frames.
    std::vector<int16_t> makeInput(int32_t frames, const std::string& name = "in.wav") const
    {
        const auto s = fxtest::randomTrack(frames, 1, 20000).samples;
        testwave::writeStereo(dir.file(name), s);
        return s;
    }
    // What the engine's effects give over [first, last) of samples, one after the other.
    static std::vector<int16_t> expected(std::vector<int16_t> samples,
                                         const std::vector<Step>& chain, int32_t first,
                                         int32_t last)
    {
        for (const Step& s : chain)
            wavorn::fx::findEffect(s[0])->apply(
                wavorn::fx::SampleSpan(samples),
                wavorn::fx::FxParams{first, last, s[1], s[2], s[3]});
        return samples;
    }
};

} // namespace

TEST_F(VumoFx, AppliesAChainOverTheFileOrARangeExactlyAndLeavesTheInputUnchanged)
{
    struct Row
    {
        std::string options, chain;
        std::vector<Step> steps;
        int32_t first, last;
        bool crop;
    };
    const Row rows[] = {
        {"", "3:40:100:128", {{3, 40, 100, 128}}, 0, 30000, false},
        {"",
         "9:200:0:127 2:100:30:127 19",
         {{9, 200, 0, 127}, {2, 100, 30, 127}, {19, 128, 128, 128}},
         0,
         30000,
         false},
        {"--from 1000 --to 21000 ", "13:240:200:127", {{13, 240, 200, 127}}, 1000, 21000, false},
        {"--crop --from 1000 --to 21000 ", "25", {{25, 128, 128, 128}}, 1000, 21000, true},
    };
    const auto in = makeInput(30000);
    for (const Row& r : rows)
    {
        const tooltest::CommandRun result = run(r.options + files() + r.chain);
        ASSERT_EQ(result.status, 0) << result.out;
        const auto e = expected(in, r.steps, r.first, r.last);
        EXPECT_EQ(testwave::readSamples(dir.file("out.wav")),
                  r.crop ? std::vector<int16_t>(e.begin() + 2 * r.first, e.begin() + 2 * r.last)
                         : e)
            << r.chain;
        EXPECT_EQ(testwave::readSamples(dir.file("in.wav")), in);
    }
}

TEST_F(VumoFx, PiecesForProgressGiveTheSameSamplesAsOneCall)
{
    const int32_t frames = 3 * (1 << 20) + 777; // four pieces
    const auto in = makeInput(frames);
    const tooltest::CommandRun r = run("--progress " + files() + "1:40:200:100 18");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("100%"), std::string::npos);
    EXPECT_EQ(testwave::readSamples(dir.file("out.wav")),
              expected(in, {{1, 40, 200, 100}, {18, 128, 128, 128}}, 0, frames));
}

TEST_F(VumoFx, WorksWithAnInputPathLongerThanTheEngineKeeps)
{
    const std::string folder(150, 'd');
    std::filesystem::create_directories(dir.path() / folder);
    const auto in = makeInput(5000, folder + "/in.wav");
    const tooltest::CommandRun r = run(files(folder + "/in.wav") + "15");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(testwave::readSamples(dir.file("out.wav")), expected(in, {{15, 0, 0, 0}}, 0, 5000));
}

TEST_F(VumoFx, WritesAMonoInputAsStereoWithANote)
{
    testwave::WaveLayout mono;
    mono.channels = 1;
    testwave::writeBytes(dir.file("mono.wav"), testwave::waveBytes({100, 200, 300, 400}, mono));
    const tooltest::CommandRun r = run(files("mono.wav") + "1:32:255:127");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("not stereo"), std::string::npos);
    const std::vector<int16_t> e = {200, 198, 400, 396, 600, 595, 800, 793};
    EXPECT_EQ(testwave::readSamples(dir.file("out.wav")), e);
}

TEST_F(VumoFx, ReportsEveryFaultWithItsExitStatusAndWritesNothing)
{
    makeInput(100);
    testwave::writeBytes(dir.file("text.wav"), std::vector<uint8_t>(40, uint8_t('t')));
    struct Row
    {
        std::string args;
        int status;
        const char* message;
    };
    const Row rows[] = {
        {files("none.wav") + "1", 1, "none.wav': cannot open it"},
        {files("text.wav") + "1", 1, "not a RIFF WAVE file"},
        {files("in.wav", "no/such/dir/out.wav") + "1", 1, "cannot write"},
        {files() + "99", 2, "unknown effect code '99'"},
        {files() + "1:300", 2, "0 to 255"},
        {"--to 500 " + files() + "1", 2, "past the end"},
        {"--from 100 " + files() + "1", 2, "leaves no frames to process"},
        {"", 2, "usage"},
    };
    for (const Row& r : rows)
    {
        const tooltest::CommandRun result = run(r.args);
        EXPECT_EQ(result.status, r.status) << r.args;
        EXPECT_NE(result.out.find(r.message), std::string::npos) << result.out;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.wav"))) << r.args;
    }
}

TEST_F(VumoFx, HelpListsEveryEffectCodeAndSpectralCodesRun)
{
    const tooltest::CommandRun help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find(vumo::fxtool::helpText()), std::string::npos);
    makeInput(20000);
    const tooltest::CommandRun r = run(files() + "28:128:255:64");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(testwave::readSamples(dir.file("out.wav")).size(), 40000u);
}
