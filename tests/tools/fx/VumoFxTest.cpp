// vumo-fx: its command line and header probe, and the program end to end, whose output must
// hold exactly the samples that the engine's effects give for the same input.
#include "fx/EffectCatalog.h"
#include "tools/fx/FxCommandLine.h"
#include "tools/fx/WaveProbe.h"

#include "engine/fx/FxTable.h"
#include "platform/WaveHeader.h"
#include "tests/engine/TestWave.h"
#include "tests/engine/fx/FxTestSupport.h"
#include "tests/tools/CommandRun.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vumo::fxtool;
using vumo::fx::EffectInfo;
using Samples = std::vector<int16_t>;

namespace
{

// A sanitizer's shadow memory and quarantine count in every process's peak; its runtime, when
// linked in, defines these.
extern "C" [[gnu::weak]] void __asan_init();
extern "C" [[gnu::weak]] void __tsan_init();
const bool kSanitized = __asan_init != nullptr || __tsan_init != nullptr;

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
    Samples makeInput(int32_t frames, const std::string& name = "in.wav") const
    {
        const auto s = fxtest::randomTrack(frames, 1, 20000).samples;
        testwave::writeStereo(dir.file(name), s);
        return s;
    }
    // What the engine's effects give over [first, last) of samples, one after the other.
    static Samples expected(Samples samples, const std::vector<Step>& chain, int32_t first,
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

TEST(FxCommandLine,
     ReadsFilesRangeAndAChainWithTheDialogDefaultsAndRefusesBadArgumentsNamingTheFault)
{
    ParseResult r =
        parseCommandLine({"in.wav", "out.wav", "3:40:100:128", "7", "1:32", "17:10:20"});
    ASSERT_TRUE(r.ok()) << r.error;
    std::vector<Step> chain;
    for (const EffectStep& s : r.options.chain)
        chain.push_back({s.code, s.p[0], s.p[1], s.p[2]});
    EXPECT_EQ(chain,
              (std::vector<Step>{
                  {3, 40, 100, 128}, {7, 2, 255, 128}, {1, 32, 255, 128}, {17, 10, 20, 64}}));
    std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
        {{"a", "b", "-3"}, "'-3'"},
        {{"a", "b", "1:256"}, "parameter P1 of '1:256' must be a whole number from 0 to 255"},
        {{"a", "b", "1:1:-1"}, "parameter P2"},
        {{"a", "b", "1:1:1:x"}, "parameter P3"},
        {{"a", "b", "1:1:1:1:1"}, "has more than three parameters"},
        {{"--from", "10", "--to", "10", "a", "b", "1"}, "--from must be below --to"},
        {{"--from", "-1", "a", "b", "1"}, "--from needs a frame number of 0 or more, not '-1'"},
        {{"a", "b", "1", "--to"}, "--to needs a frame number"},
        {{"--to", "ten", "a", "b", "1"}, "not 'ten'"},
        {{"a", "b"}, "no effect given"},
        {{"--loud", "a", "b", "1"}, "unknown option '--loud'"},
    };
    for (const std::string code : {"33", "0", "40", "3x", ""})
        rows.push_back({{"a", "b", code}, "unknown effect code '" + code + "'"});
    for (const auto& [args, message] : rows)
    {
        const ParseResult refused = parseCommandLine(args);
        EXPECT_FALSE(refused.ok()) << message;
        EXPECT_NE(refused.error.find(message), std::string::npos) << refused.error;
    }
}

TEST(WaveProbe, CountsFramesPastOtherChunksCutsADataSizeLargerThanTheFileAndNamesFaults)
{
    const testwave::TempDir dir;
    for (const auto& [channels, declaredBytes, frames] :
         {std::tuple{2, -1LL, 1000}, {1, -1LL, 2000}, {2, 0xFFFFFFF0LL, 1000}})
    {
        testwave::writeBytes(
            dir.file("in.wav"),
            testwave::waveBytes(Samples(2000), {.channels = uint16_t(channels),
                                                .chunksBeforeData = {"LIST"},
                                                .declaredDataBytes = declaredBytes}));
        const WaveInfo w = probeWave(dir.file("in.wav"));
        EXPECT_EQ(std::tuple(w.error, w.frames, w.channels, w.rate),
                  std::tuple(std::string(), frames, channels, 44100));
    }
}

TEST_F(VumoFx, AppliesAChainOverTheFileOrARangeExactlyAndLeavesTheInputUnchanged)
{
    // The fifth input's path is longer than the engine keeps; the last runs in progress pieces.
    const std::string longPath = std::string(150, 'd') + "/in.wav";
    constexpr int32_t kLong = 3 * (1 << 20) + 777;
    std::filesystem::create_directories(dir.path() / std::string(150, 'd'));
    struct Row
    {
        std::string options, chain;
        std::vector<Step> steps;
        int32_t first, last; // the input has the larger of last and 30000 frames
        std::string input = "in.wav";
    };
    const Row rows[] = {
        {"", "3:40:100:128", {{3, 40, 100, 128}}, 0, 30000},
        {"", "9:200:0:127 2:100:30:127", {{9, 200, 0, 127}, {2, 100, 30, 127}}, 0, 30000},
        {"--from 1000 --to 21000 ", "13:240:200:127", {{13, 240, 200, 127}}, 1000, 21000},
        {"--crop --from 1000 --to 21000 ", "25", {{25, 128, 128, 128}}, 1000, 21000},
        {"", "15", {{15, 0, 0, 0}}, 0, 30000, longPath},
        {"--progress ", "1:40:200:100 18", {{1, 40, 200, 100}, {18, 128, 128, 128}}, 0, kLong},
    };
    for (const Row& r : rows)
    {
        const auto in = makeInput(std::max(r.last, 30000), r.input);
        const tooltest::CommandRun result = run(r.options + files(r.input) + r.chain);
        ASSERT_EQ(result.status, 0) << result.out;
        EXPECT_EQ(result.out.find("100%") != std::string::npos, r.options == "--progress ");
        const auto e = expected(in, r.steps, r.first, r.last);
        EXPECT_EQ(testwave::readSamples(dir.file("out.wav")),
                  r.options.starts_with("--crop")
                      ? Samples(e.begin() + 2 * r.first, e.begin() + 2 * r.last)
                      : e)
            << r.chain;
        EXPECT_EQ(testwave::readSamples(dir.file(r.input)), in);
    }
}

TEST_F(VumoFx, HelpDocumentsEveryCodeMonoAndSpectralInputsRunAndEveryFaultIsReported)
{
    testwave::writeBytes(
        dir.file("mono.wav"),
        testwave::waveBytes({100, 200, 300, 400}, {.channels = 1, .chunksBeforeData = {}}));
    const tooltest::CommandRun r = run(files("mono.wav") + "1:32:255:127");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("not stereo"), std::string::npos);
    EXPECT_EQ(testwave::readSamples(dir.file("out.wav")),
              (Samples{200, 198, 400, 396, 600, 595, 800, 793}));
    // Every fault is reported with its exit status and nothing is written.
    std::filesystem::remove(dir.file("out.wav"));
    makeInput(100);
    testwave::writeBytes(dir.file("text.wav"), std::vector<uint8_t>(40, uint8_t('t')));
    testwave::writeBytes(dir.file("8bit.wav"),
                         testwave::waveBytes(Samples(200), {.bits = 8, .chunksBeforeData = {}}));
    auto noData = testwave::waveBytes({});
    noData.resize(36);
    testwave::writeBytes(dir.file("nodata.wav"), noData);
    const std::tuple<std::string, int, const char*> rows[] = {
        {files("none.wav") + "1", 1, "none.wav': cannot open it"},
        {files("text.wav") + "1", 1, "not a RIFF WAVE file"},
        {files("8bit.wav") + "1", 1, "8 bits per sample"},
        {files("nodata.wav") + "1", 1, "no data chunk"},
        {files("in.wav", "no/such/dir/out.wav") + "1", 1, "cannot write"},
        {files() + "99", 2, "unknown effect code '99'"},
        {files() + "1:300", 2, "0 to 255"},
        {"--to 500 " + files() + "1", 2, "past the end"},
        {"--from 100 " + files() + "1", 2, "leaves no frames to process"},
        {"", 2, "usage"},
    };
    for (const auto& [args, status, message] : rows)
    {
        const tooltest::CommandRun result = run(args);
        EXPECT_EQ(result.status, status) << args;
        EXPECT_NE(result.out.find(message), std::string::npos) << result.out;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.wav"))) << args;
    }
    // Help has a line for every code with its name; the fade is no engine effect.
    const tooltest::CommandRun help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find(helpText()), std::string::npos);
    for (const EffectInfo& e : vumo::fx::effectCatalog())
        EXPECT_EQ(help.out.find(std::to_string(e.code) + "  " + e.name + "  [") !=
                      std::string::npos,
                  e.code != vumo::fx::kFadeCode)
            << e.code;
    makeInput(20000); // a spectral code runs
    ASSERT_EQ(run(files() + "28:128:255:64").status, 0);
    EXPECT_EQ(testwave::readSamples(dir.file("out.wav")).size(), 40000u);
}

TEST_F(VumoFx, HoldsOneCopyOfTheTrackInMemoryWhateverTheEffect)
{
    // The engine's other buffers (premix, playback) are as long as the track but a file-to-file
    // run never touches them, so they must cost no memory. The input: 8 Mi frames (32 MiB).
    constexpr uint32_t kFrames = 8u << 20;
    const auto header = platform::waveHeader(kFrames);
    testwave::writeBytes(dir.file("in.wav"), {header.begin(), header.end()});
    std::filesystem::resize_file(dir.file("in.wav"), header.size() + 4 * kFrames);
    malloc_trim(0); // what earlier tests freed, which a forked child would count as its own
    for (const char* chain : {"1:32:255:127", "3", "7:20:80:127", "19", "26:255", "16 20:100"})
    {
        const std::string command = "exec '" VUMO_FX_PROGRAM "' " + files() + chain;
        const pid_t pid = fork();
        if (pid == 0)
            _exit((execl("/bin/sh", "sh", "-c", command.c_str(), nullptr), 127));
        int status = -1;
        rusage usage{};
        ASSERT_EQ(wait4(pid, &status, 0, &usage), pid);
        EXPECT_EQ(status, 0) << chain;
        if (!kSanitized) // one track buffer and the program (a few MiB)
        {
            EXPECT_LT(double(usage.ru_maxrss) / 1024, 1.1 * (4 * kFrames >> 20) + 24) << chain;
        }
    }
}
