// vumo-play: opens a wave file as a one-track project and plays it on the sound card, or on
// the virtual device when the machine has none.
#include "platform/AudioBackend.h"
#include "platform/WaveHeader.h"
#include "platform/files/FileNames.h"
#include "platform/files/RegularFile.h"
#include "platform/files/RiffWalker.h"
#include "platform/files/SafeWriter.h"
#include "wavorn.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

constexpr int32_t kRate = 44100;
std::atomic<bool> g_interrupted{false};

void onInterrupt(int)
{
    g_interrupted = true;
}

// Frames of a wave file's sample data (mono counts one sample per frame), or -1. Only a regular
// file a track can take is read: a FIFO or a device would stall the read or never end it.
int64_t waveFrames(const std::string& path)
{
    const platform::OpenedFile opened =
        platform::openRegularFile(path.c_str(), platform::kMaxTrackFileBytes);
    std::FILE* f = opened.file.get();
    if (!f || !platform::readRiffWaveHead(f))
        return -1;
    uint32_t channels = 2;
    platform::RiffWalker walk(f, opened.size);
    while (const auto chunk = walk.next())
    {
        if (chunk->is("data"))
            return chunk->size / (channels == 1 ? 2 : 4);
        unsigned char format[4];
        if (chunk->is("fmt ") && chunk->size >= 4)
        {
            if (std::fread(format, 1, 4, f) != 4)
                return -1;
            channels = uint16_t(platform::readLe16(format + 2));
        }
    }
    return -1;
}

// A short A-major chord with a fade-out, for a first run without a file, in a folder of its own
// (removed again by the caller) so that no file someone put in the temp folder is written.
std::string writeDemo(std::filesystem::path& folder)
{
#if defined(_WIN32)
    // No mkdtemp there: a folder of a random name, created only when no such folder exists.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && folder.empty(); ++attempt)
    {
        const auto candidate = std::filesystem::temp_directory_path() /
                               ("vumo-play-" + std::to_string(random()) + std::to_string(random()));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec))
            folder = candidate;
    }
    if (folder.empty())
        return {};
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "vumo-play-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return {};
    folder = pattern;
#endif
    const auto path = folder / "demo.wav";
    const int32_t frames = 2 * kRate;
    std::vector<int16_t> s(size_t(frames) * 2);
    for (int32_t k = 0; k < frames; ++k)
    {
        const double t = double(k) / kRate, fade = 1.0 - double(k) / frames;
        const double v = std::sin(2 * M_PI * 220 * t) + std::sin(2 * M_PI * 277.18 * t) +
                         std::sin(2 * M_PI * 329.63 * t);
        s[2 * size_t(k)] = s[2 * size_t(k) + 1] = int16_t(v * 6000 * fade);
    }
    const auto h = platform::waveHeader(uint32_t(frames));
    const std::string name = platform::nameOf(path);
    platform::SafeWriter out(name);
    const bool written = !name.empty() && out.open() && out.write(h.data(), h.size()) &&
                         out.write(s.data(), s.size() * 2) && out.commit();
    return written ? name : std::string();
}

std::string clock(int64_t frames)
{
    const int64_t seconds = frames / kRate;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return text;
}

// The device the engine will open: the sound card by name, the virtual device the user asked
// for (nothing is heard; its frames go to VUMO_VIRTUAL_OUTPUT when that names a file), or the
// virtual device in place of a sound card the machine lacks.
void sayWhichDevicePlays()
{
    if (platform::outputBackend() != platform::AudioBackend::Virtual)
    {
        const std::string name = platform::defaultOutputName();
        std::printf("Playing on the sound output %s.\n",
                    name.empty() ? "(no default device found)" : ("\"" + name + "\"").c_str());
        return;
    }
    if (!platform::backendNamed())
    {
        std::printf("No sound output device found: playing on the virtual device.\n");
        return;
    }
    const char* file = std::getenv("VUMO_VIRTUAL_OUTPUT");
    if (file != nullptr && *file != '\0')
        std::printf("Playing on the virtual device (VUMO_AUDIO_BACKEND=virtual): nothing is "
                    "heard; the frames played are appended to %s.\n",
                    file);
    else
        std::printf("Playing on the virtual device (VUMO_AUDIO_BACKEND=virtual): nothing is "
                    "heard.\n");
}

int fail(const char* what, int32_t code)
{
    std::fprintf(stderr, "vumo-play: %s failed with code %d\n", what, code);
    CloseLib();
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 || (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))))
    {
        std::printf("usage: vumo-play [file.wav]\n"
                    "Plays a 16-bit wave file through the Vumo engine. Without a file it plays\n"
                    "a short demo chord. VUMO_AUDIO_BACKEND=portaudio|virtual|auto picks the\n"
                    "device; with no sound card the virtual device plays in real time.\n");
        return argc == 2 ? 0 : 2;
    }
    // A file size limit fails a write (the demo, a virtual output file) like a full disk.
#if defined(SIGXFSZ)
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    std::filesystem::path demoFolder;
    const struct Cleanup
    {
        std::filesystem::path& folder;
        ~Cleanup()
        {
            std::error_code ec;
            if (!folder.empty())
                std::filesystem::remove_all(folder, ec);
        }
    } cleanup{demoFolder};
    const std::string path = argc == 2 ? argv[1] : writeDemo(demoFolder);
    if (argc < 2)
        std::printf("No file given: playing a demo chord (%s).\n", path.c_str());
    const int64_t frames = waveFrames(path);
    if (frames < 0)
    {
        std::fprintf(stderr, "vumo-play: %s is not a readable wave file\n", path.c_str());
        return 1;
    }
    if (frames == 0 || frames > 256LL * 262144)
    {
        std::fprintf(stderr, "vumo-play: %s holds %lld frames; 1 to 67108864 can be played\n",
                     path.c_str(), static_cast<long long>(frames));
        return 1;
    }
    sayWhichDevicePlays();
    const int32_t length = int32_t(frames);
    if (const int32_t rc = OpenLib(length, 0); rc != 0)
        return fail("OpenLib", rc);
    ClearTracks();
    SetTrackInfo(0, path.c_str());
    SetTrackAttr(0, 255, 128);
    const int32_t load = SetCurTrack(0, 1);
    if (load >= 10 || load < 0)
        return fail("loading the file", load);
    if (load != 0)
        std::printf("Note: the file is %s; it is played as 16-bit stereo at 44100 Hz.\n",
                    load == 1   ? "not stereo"
                    : load == 2 ? "not at 44100 Hz"
                                : "neither");
    std::signal(SIGINT, onInterrupt);
    if (const int32_t rc = PlayTracks(0, length); rc != 0)
        return fail("PlayTracks", rc);
    const bool tty = isatty(STDOUT_FILENO);
    int64_t position = 0;
    while (!g_interrupted && IsPlaying() && position < frames)
    {
        position = GetPosition();
        if (tty)
            std::printf("\r%s / %s", clock(position).c_str(), clock(frames).c_str());
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    StopTracks(0, length, 0);
    std::printf("%s%s\n", tty ? "\n" : "", g_interrupted ? "Stopped." : "Done.");
    CloseLib();
    return 0;
}
