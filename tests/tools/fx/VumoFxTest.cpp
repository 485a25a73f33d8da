// vumo-fx run end to end on generated wave files: its output must hold exactly the samples
// that the engine's effects give for the same input.
#include "engine/fx/FxTable.h"

#include "tests/engine/fx/WaveFileHelpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

using namespace fxtest;

namespace
{

struct RunResult
{
    int status;
    std::string output; // standard output and standard error together
};

class VumoFx : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = std::filesystem::temp_directory_path() /
                ("vumo-fx-tool-" + std::to_string(::getpid()) + "-" + info->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string path(const std::string& name) const { return (m_dir / name).string(); }

    RunResult run(const std::string& args) const
    {
        const std::string log = path("run.log");
        const std::string command =
            std::string("'") + VUMO_FX_PROGRAM + "' " + args + " >'" + log + "' 2>&1 </dev/null";
        const int raw = std::system(command.c_str());
        std::ifstream in(log);
        std::stringstream s;
        s << in.rdbuf();
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, s.str()};
    }

    // A loud random stereo input of `frames` frames.
    std::vector<int16_t> makeInput(const std::string& name, int32_t frames, uint32_t seed = 1)
    {
        std::vector<int16_t> s(2 * size_t(frames));
        std::mt19937 rng(seed);
        std::uniform_int_distribution<int32_t> d(-20000, 20000);
        for (int16_t& v : s)
            v = int16_t(d(rng));
        writeWave(path(name), s);
        return s;
    }

    // What the engine's effect gives over [first, last) of samples.
    static std::vector<int16_t> expected(std::vector<int16_t> samples, int32_t code, int32_t first,
                                         int32_t last, int32_t p1, int32_t p2, int32_t p3)
    {
        wavorn::fx::findEffect(code)->apply(wavorn::fx::SampleSpan(samples),
                                            wavorn::fx::FxParams{first, last, p1, p2, p3});
        return samples;
    }

    std::filesystem::path m_dir;
};

} // namespace

TEST_F(VumoFx, AppliesOneEffectToTheWholeFileExactly)
{
    const auto in = makeInput("in.wav", 30000);
    const RunResult r = run("'" + path("in.wav") + "' '" + path("out.wav") + "' 3:40:100:128");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(readWaveSamples(path("out.wav")), expected(in, 3, 0, 30000, 40, 100, 128));
}

TEST_F(VumoFx, AppliesAChainInOrder)
{
    const auto in = makeInput("in.wav", 30000);
    const RunResult r =
        run("'" + path("in.wav") + "' '" + path("out.wav") + "' 9:200:0:127 2:100:30:127 19");
    ASSERT_EQ(r.status, 0) << r.output;
    auto e = expected(in, 9, 0, 30000, 200, 0, 127);
    e = expected(e, 2, 0, 30000, 100, 30, 127);
    e = expected(e, 19, 0, 30000, 128, 128, 128);
    EXPECT_EQ(readWaveSamples(path("out.wav")), e);
}

TEST_F(VumoFx, ProcessesOnlyTheRangeAndWritesTheWholeFile)
{
    const auto in = makeInput("in.wav", 30000);
    const RunResult r = run("--from 1000 --to 21000 '" + path("in.wav") + "' '" + path("out.wav") +
                            "' 13:240:200:127");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(readWaveSamples(path("out.wav")), expected(in, 13, 1000, 21000, 240, 200, 127));
}

TEST_F(VumoFx, CropWritesOnlyTheRange)
{
    const auto in = makeInput("in.wav", 30000);
    const RunResult r =
        run("--crop --from 1000 --to 21000 '" + path("in.wav") + "' '" + path("out.wav") + "' 25");
    ASSERT_EQ(r.status, 0) << r.output;
    const auto e = expected(in, 25, 1000, 21000, 128, 128, 128);
    EXPECT_EQ(readWaveSamples(path("out.wav")),
              std::vector<int16_t>(e.begin() + 2000, e.begin() + 42000));
}

TEST_F(VumoFx, PiecesForProgressGiveTheSameSamplesAsOneCall)
{
    const int32_t frames = 3 * (1 << 20) + 777; // four pieces
    const auto in = makeInput("in.wav", frames);
    const RunResult r =
        run("--progress '" + path("in.wav") + "' '" + path("out.wav") + "' 1:40:200:100 18");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("100%"), std::string::npos);
    auto e = expected(in, 1, 0, frames, 40, 200, 100);
    e = expected(e, 18, 0, frames, 128, 128, 128);
    EXPECT_EQ(readWaveSamples(path("out.wav")), e);
}

TEST_F(VumoFx, LeavesTheInputUnchanged)
{
    const auto in = makeInput("in.wav", 5000);
    ASSERT_EQ(run("'" + path("in.wav") + "' '" + path("out.wav") + "' 19").status, 0);
    EXPECT_EQ(readWaveSamples(path("in.wav")), in);
    EXPECT_NE(readWaveSamples(path("out.wav")), in);
}

TEST_F(VumoFx, WorksWithAnInputPathLongerThanTheEngineKeeps)
{
    const std::string folder(150, 'd');
    std::filesystem::create_directories(m_dir / folder);
    const auto in = makeInput(folder + "/in.wav", 5000);
    const RunResult r = run("'" + path(folder + "/in.wav") + "' '" + path("out.wav") + "' 15");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(readWaveSamples(path("out.wav")), expected(in, 15, 0, 5000, 0, 0, 0));
}

TEST_F(VumoFx, WritesAMonoInputAsStereoWithANote)
{
    {
        std::vector<int16_t> mono = {100, 200, 300, 400};
        std::ofstream out(path("mono.wav"), std::ios::binary);
        const auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
        const auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
        out.write("RIFF", 4);
        u32(36 + 8);
        out.write("WAVEfmt ", 8);
        u32(16);
        u16(1);
        u16(1);
        u32(44100);
        u32(88200);
        u16(2);
        u16(16);
        out.write("data", 4);
        u32(8);
        out.write(reinterpret_cast<const char*>(mono.data()), 8);
    }
    const RunResult r = run("'" + path("mono.wav") + "' '" + path("out.wav") + "' 1:32:255:127");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("not stereo"), std::string::npos);
    const std::vector<int16_t> e = {200, 198, 400, 396, 600, 595, 800, 793};
    EXPECT_EQ(readWaveSamples(path("out.wav")), e);
}

TEST_F(VumoFx, ReportsAMissingInput)
{
    const RunResult r = run("'" + path("none.wav") + "' '" + path("out.wav") + "' 1");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("cannot read"), std::string::npos);
    EXPECT_NE(r.output.find("none.wav"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path("out.wav")));
}

TEST_F(VumoFx, ReportsAnInputThatIsNoWaveFile)
{
    {
        std::ofstream out(path("text.wav"));
        out << "just some text, certainly not audio";
    }
    const RunResult r = run("'" + path("text.wav") + "' '" + path("out.wav") + "' 1");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("not a RIFF WAVE file"), std::string::npos);
}

TEST_F(VumoFx, ReportsAnOutputThatCannotBeWritten)
{
    makeInput("in.wav", 100);
    const RunResult r = run("'" + path("in.wav") + "' '" + path("no/such/dir/out.wav") + "' 1");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("cannot write"), std::string::npos);
}

TEST_F(VumoFx, RefusesBadArgumentsWithStatus2)
{
    makeInput("in.wav", 100);
    const std::string files = "'" + path("in.wav") + "' '" + path("out.wav") + "' ";
    RunResult r = run(files + "99");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("unknown effect code '99'"), std::string::npos);
    r = run(files + "1:300");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("0 to 255"), std::string::npos);
    r = run("--to 500 " + files + "1");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("past the end"), std::string::npos);
    r = run("--from 100 " + files + "1");
    EXPECT_EQ(r.status, 2);
    r = run("");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("usage"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path("out.wav")));
}

TEST_F(VumoFx, HelpListsEveryEffectCode)
{
    const RunResult r = run("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find(" 1  Amp - Gain"), std::string::npos);
    EXPECT_NE(r.output.find("25  Monotonize"), std::string::npos);
    EXPECT_NE(r.output.find("32  Bass Boost"), std::string::npos);
}

TEST_F(VumoFx, RunsSpectralCodesThroughTheSameExport)
{
    makeInput("in.wav", 20000);
    const RunResult r = run("'" + path("in.wav") + "' '" + path("out.wav") + "' 28:128:255:64");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(readWaveSamples(path("out.wav")).size(), 40000u);
}
