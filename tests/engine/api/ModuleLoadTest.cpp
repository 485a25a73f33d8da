// The engine loaded by path beside a damaged media module and no synth module (working ones
// elsewhere): capture and the synth name the module and why; the rest of the engine works.
#include "tests/engine/TestWave.h"
#include "tests/platform/PlatformTestSupport.h"
#include "wavorn.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>

using namespace testwave;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace
{

// The export `name` of the library loaded from the copy; a missing one fails the test.
template <class Export> Export exported(void* library, const char* name)
{
    void* symbol = library ? dlsym(library, name) : nullptr;
    if (symbol == nullptr)
        throw std::runtime_error(std::string("no export ") + name + " in the copy");
    return reinterpret_cast<Export>(symbol);
}
#define VUMO_CALL(name) exported<decltype(&::name)>(library, #name)

// Expects `call` to fail and to say `text` on standard error.
void expectRefused(const std::function<int32_t()>& call, const std::string& text,
                   const std::string& scratch)
{
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int file = open(scratch.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(file, STDERR_FILENO);
    const int32_t result = call();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(file);
    close(saved);
    std::ifstream in(scratch);
    const std::string said(std::istreambuf_iterator<char>(in), {});
    EXPECT_NE(result, 0);
    EXPECT_NE(said.find(text), std::string::npos) << said;
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

    void* library = dlopen(engineDir.file("libwavorn.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    ASSERT_EQ(VUMO_CALL(OpenLib)(n, 0), 0);
    VUMO_CALL(ClearTracks)();
    ASSERT_EQ(VUMO_CALL(SetTrackInfo)(0, elsewhere.file("track.wav").c_str()), 0);
    VUMO_CALL(SetTrackAttr)(0, 255, 128);
    ASSERT_EQ(VUMO_CALL(SetCurTrack)(0, 1), 0);

    const std::string scratch = elsewhere.file("stderr.txt");
    setenv("VUMO_CAPTURE_SOURCE", elsewhere.file("media.wav").c_str(), 1);
    const auto record = [&]
    {
        const int32_t result = VUMO_CALL(RecordTrack)(0, n, 0);
        VUMO_CALL(StopTracks)(0, n, 0);
        return result;
    };
    expectRefused(record,
                  "Decoding media files is not available: the module libvumo-media.so could not "
                  "be loaded: " +
                      engineDir.file("libvumo-media.so") + ": ",
                  scratch);
    unsetenv("VUMO_CAPTURE_SOURCE");
    setenv("VUMO_MIDI_BACKEND", "synth", 1);
    expectRefused([&] { return VUMO_CALL(OpenMidiPlay)(64); },
                  "the built-in synth is not available: the module libvumo-synth.so could not be "
                  "loaded: " +
                      engineDir.file("libvumo-synth.so") + ": cannot open shared object",
                  scratch);
    VUMO_CALL(CloseMidiPlay)();

    // The rest of the engine: an effect and a file written.
    std::vector<int16_t> reversed(track.size());
    for (int32_t f = 0; f < n; ++f)
        std::copy_n(track.begin() + 2 * (n - 1 - f), 2, reversed.begin() + 2 * f);
    EXPECT_EQ(VUMO_CALL(FXIt)(19, 0, n, 128, 128, 128), 0);
    ASSERT_EQ(VUMO_CALL(CopyTo)(0, n, elsewhere.file("out.wav").c_str()), 0);
    EXPECT_EQ(readSamples(elsewhere.file("out.wav")), reversed);
    VUMO_CALL(CloseLib)();
    fs::current_path(previous);
}
