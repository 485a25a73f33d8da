// The engine without its modules: a copy of libwavorn.so in a folder of its own, beside a damaged
// media module and no synth module, loaded by its path while the current folder (and this
// program's own folder) hold working modules. Capture and the built-in synth name the module
// that did not load and why; effects, files, playback and the virtual MIDI output still work.
#include "tests/engine/TestWave.h"
#include "wavorn.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

using namespace testwave;
namespace fs = std::filesystem;

namespace
{

// The exports this test calls, bound by name from the copy.
// clang-format off
#define VUMO_TEST_EXPORTS(X) \
    X(OpenLib) \
    X(CloseLib) \
    X(ClearTracks) \
    X(SetTrackInfo) \
    X(SetTrackAttr) \
    X(SetCurTrack) \
    X(RecordTrack) \
    X(StopTracks) \
    X(PlayTracks) \
    X(IsPlaying) \
    X(FXIt) \
    X(CopyTo) \
    X(OpenMidiPlay) \
    X(CloseMidiPlay) \
    X(CmdMidi)
// clang-format on

struct Engine
{
    void* library = nullptr;
#define VUMO_DECLARE(name) decltype(&::name) name = nullptr;
    VUMO_TEST_EXPORTS(VUMO_DECLARE)
#undef VUMO_DECLARE

    explicit Engine(const std::string& path) : library(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
    {
#define VUMO_BIND(name)                                                                            \
    name = library ? reinterpret_cast<decltype(name)>(dlsym(library, #name)) : nullptr;
        VUMO_TEST_EXPORTS(VUMO_BIND)
#undef VUMO_BIND
    }
};

// What `call` writes on standard error.
std::string standardErrorOf(const std::function<void()>& call, const std::string& scratch)
{
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int file = open(scratch.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(file, STDERR_FILENO);
    call();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(file);
    close(saved);
    std::ifstream in(scratch);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool playsToItsEnd(const Engine& e)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (e.IsPlaying() != 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return e.IsPlaying() == 0;
}

} // namespace

TEST(EngineModules, AModuleThatDoesNotLoadIsReportedAndTheRestOfTheEngineWorks)
{
    TempDir engineDir, elsewhere;
    fs::copy_file(VUMO_ENGINE_LIBRARY, engineDir.file("libwavorn.so"));
    writeBytes(engineDir.file("libvumo-media.so"), {'n', 'o', 't', ' ', 'E', 'L', 'F'});
    // Working modules where a careless loader would look: the current folder and this program's.
    for (const char* module : {VUMO_MEDIA_MODULE, VUMO_SYNTH_MODULE})
        fs::copy_file(module, elsewhere.path() / fs::path(module).filename());
    const fs::path previous = fs::current_path();
    fs::current_path(elsewhere.path());

    setenv("VUMO_AUDIO_BACKEND", "virtual", 1);
    setenv("VUMO_VIRTUAL_SPEED", "20", 1);
    const int32_t n = 4000;
    const std::vector<int16_t> track = ramp(n, 300);
    writeStereo(elsewhere.file("track.wav"), track);
    writeStereo(elsewhere.file("media.wav"), ramp(n, 9));
    writeBytes(elsewhere.file("font.sf2"), {'R', 'I', 'F', 'F'});
    setenv("VUMO_SOUNDFONT", elsewhere.file("font.sf2").c_str(), 1);

    const Engine e(engineDir.file("libwavorn.so"));
    ASSERT_NE(e.library, nullptr) << dlerror();
    ASSERT_EQ(e.OpenLib(n, 0), 0);
    e.ClearTracks();
    ASSERT_EQ(e.SetTrackInfo(0, elsewhere.file("track.wav").c_str()), 0);
    e.SetTrackAttr(0, 255, 128);
    ASSERT_EQ(e.SetCurTrack(0, 1), 0);

    const std::string scratch = elsewhere.file("stderr.txt");
    const std::string mediaModule = engineDir.file("libvumo-media.so");
    setenv("VUMO_CAPTURE_SOURCE", elsewhere.file("media.wav").c_str(), 1);
    int32_t recorded = 0;
    const std::string captureSays = standardErrorOf(
        [&]
        {
            recorded = e.RecordTrack(0, n, 0);
            e.StopTracks(0, n, 0);
        },
        scratch);
    unsetenv("VUMO_CAPTURE_SOURCE");
    EXPECT_NE(recorded, 0);
    EXPECT_NE(captureSays.find("Decoding media files is not available: the module "
                               "libvumo-media.so could not be loaded: " +
                               mediaModule + ": "),
              std::string::npos)
        << captureSays;

    setenv("VUMO_MIDI_BACKEND", "synth", 1);
    int32_t synthOpened = 0;
    const std::string synthSays =
        standardErrorOf([&] { synthOpened = e.OpenMidiPlay(64); }, scratch);
    e.CloseMidiPlay();
    EXPECT_NE(synthOpened, 0);
    EXPECT_NE(synthSays.find("the built-in synth is not available: the module libvumo-synth.so "
                             "could not be loaded: " +
                             engineDir.file("libvumo-synth.so") + ": cannot open shared object"),
              std::string::npos)
        << synthSays;

    // The rest of the engine: an effect, a file written, a pass played, MIDI on the virtual
    // device.
    std::vector<int16_t> reversed(track.size());
    for (int32_t f = 0; f < n; ++f)
        std::copy_n(track.begin() + 2 * (n - 1 - f), 2, reversed.begin() + 2 * f);
    EXPECT_EQ(e.FXIt(19, 0, n, 128, 128, 128), 0);
    ASSERT_EQ(e.CopyTo(0, n, elsewhere.file("out.wav").c_str()), 0);
    EXPECT_EQ(readSamples(elsewhere.file("out.wav")), reversed);
    EXPECT_EQ(e.PlayTracks(0, n), 0);
    EXPECT_TRUE(playsToItsEnd(e));
    EXPECT_EQ(e.StopTracks(0, n, 0), 0);
    setenv("VUMO_MIDI_BACKEND", "virtual", 1);
    EXPECT_EQ(e.OpenMidiPlay(64), 0);
    EXPECT_EQ(e.CmdMidi(0x90, 60, 100), 0);
    EXPECT_EQ(e.CloseMidiPlay(), 0);
    unsetenv("VUMO_MIDI_BACKEND");
    e.CloseLib();
    fs::current_path(previous);
}
