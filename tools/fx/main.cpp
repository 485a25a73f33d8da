// vumo-fx: applies Vumo effects to a wave file through the wavorn engine's exports and writes
// the result as a new wave file. The engine runs on its virtual audio devices, so no sound
// card is needed.
#include "FxCommandLine.h"
#include "WaveProbe.h"
#include "fx/EffectCatalog.h"
#include "tools/common/ProgressBar.h"

#include "wavorn.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>

#include <io.h>
#else
#include <unistd.h>
#endif

using namespace vumo::fxtool;
using vumo::tools::ProgressBar;

namespace
{

constexpr int kExitOk = 0;
constexpr int kExitFile = 1;
constexpr int kExitUsage = 2;
constexpr int64_t kMaxFrames = 67108864;  // the engine's longest track (256 MB)
constexpr int32_t kTrackNameBytes = 127;  // longest track file name the engine keeps
constexpr int32_t kPieceFrames = 1 << 20; // progress steps of per-frame effects
constexpr int64_t kLongFrames = 1 << 20;  // files from this length on get a bar by default

int fail(int status, const std::string& message)
{
    std::fprintf(stderr, "vumo-fx: %s\n", message.c_str());
    return status;
}

// The engine keeps track file names of at most 127 bytes; a longer one is reached through a
// short link in a temporary folder, removed again by the destructor (on Windows through the
// file's short name, when the volume keeps short names).
class TrackName
{
public:
    explicit TrackName(const std::string& path) : m_name(path)
    {
        if (path.size() <= size_t(kTrackNameBytes))
            return;
#if defined(_WIN32)
        char shortName[MAX_PATH];
        const DWORD n = GetShortPathNameA(path.c_str(), shortName, sizeof shortName);
        if (n > 0 && n < sizeof shortName)
            m_name = shortName;
#else
        char pattern[] = "/tmp/vumo-fx-XXXXXX";
        if (!::mkdtemp(pattern))
            return;
        m_folder = pattern;
        const std::filesystem::path link = m_folder / "input.wav";
        std::error_code ec;
        std::filesystem::create_symlink(std::filesystem::absolute(path, ec), link, ec);
        if (!ec)
            m_name = link.string();
#endif
    }
    ~TrackName()
    {
        if (!m_folder.empty())
        {
            std::error_code ec;
            std::filesystem::remove_all(m_folder, ec);
        }
    }
    const char* c_str() const
    {
        return m_name.c_str();
    }

private:
    std::string m_name;
    std::filesystem::path m_folder;
};

bool isTerminal(std::FILE* stream)
{
#if defined(_WIN32)
    return _isatty(_fileno(stream)) != 0;
#else
    return ::isatty(fileno(stream)) != 0;
#endif
}

// Runs the chain over [from, to) of the engine's current track.
void runChain(const Options& o, int32_t from, int32_t to, bool showProgress)
{
    const int64_t frames = int64_t(to) - from;
    const int32_t steps = int32_t(o.chain.size());
    ProgressBar bar(showProgress, frames * steps);
    int64_t done = 0;
    for (int32_t i = 0; i < steps; ++i)
    {
        const EffectStep& s = o.chain[size_t(i)];
        const vumo::fx::EffectInfo* info = vumo::fx::findEffectInfo(s.code);
        bar.show(done, i + 1, steps, info->name);
        // Per-frame effects give the same samples in pieces; every other effect carries state
        // (a delay, a window, an oscillator) across the range and runs as one call.
        const int32_t piece = showProgress && info->perFrame ? kPieceFrames : to - from;
        for (int32_t at = from; at < to; at += std::max(piece, 1))
        {
            const int32_t end = int32_t(std::min<int64_t>(int64_t(at) + piece, to));
            FXIt(s.code, at, end, s.p[0], s.p[1], s.p[2]);
            done += end - at;
            bar.show(done, i + 1, steps, info->name);
        }
    }
    bar.show(frames * steps, steps, steps, "done");
}

} // namespace

int main(int argc, char** argv)
{
    // A file size limit fails the write like a full disk: reported, the part file removed.
#if defined(SIGXFSZ)
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    const ParseResult parsed = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.options.help)
    {
        std::fputs(helpText().c_str(), stdout);
        return kExitOk;
    }
    if (!parsed.ok())
        return fail(kExitUsage, parsed.error);
    const Options& o = parsed.options;

    const WaveInfo wave = probeWave(o.input);
    if (!wave.error.empty())
        return fail(kExitFile, "cannot read '" + o.input + "': " + wave.error);
    if (wave.frames < 1)
        return fail(kExitFile, "cannot process '" + o.input + "': it holds no samples");
    if (wave.frames > kMaxFrames)
        return fail(kExitFile, "cannot process '" + o.input + "': it holds " +
                                   std::to_string(wave.frames) + " frames, more than the " +
                                   std::to_string(kMaxFrames) + " the engine can hold");
    const int64_t from = o.from.value_or(0);
    const int64_t to = o.to.value_or(wave.frames);
    if (to > wave.frames)
        return fail(kExitUsage, "--to " + std::to_string(to) + " is past the end of '" + o.input +
                                    "' (" + std::to_string(wave.frames) + " frames)");
    if (from >= to)
        return fail(kExitUsage, "--from " + std::to_string(from) +
                                    " leaves no frames to process in '" + o.input + "' (" +
                                    std::to_string(wave.frames) + " frames)");

        // The engine needs no sound card for this: its virtual devices stand in.
#if defined(_WIN32)
    _putenv_s("VUMO_AUDIO_BACKEND", "virtual");
#else
    setenv("VUMO_AUDIO_BACKEND", "virtual", 1);
#endif
    const int32_t frames = int32_t(wave.frames);
    if (const int32_t rc = OpenLib(frames, 0); rc != 0)
    {
        CloseLib();
        return fail(kExitFile,
                    "the engine could not open (OpenLib result " + std::to_string(rc) + ")");
    }
    const TrackName trackName(o.input);
    ClearTracks();
    // The track is made current without a reload, which would first build the premix of
    // the other tracks (a whole extra buffer to clear, for none), and then loaded by Undo,
    // which reads the current track's file into trackBuf.
    int32_t loaded = 15;
    if (SetTrackInfo(0, trackName.c_str()) == 0)
    {
        SetTrackAttr(0, 255, 128);
        SetCurTrack(0, 0);
        loaded = Undo();
    }
    if (loaded >= 10 || loaded < 0)
    {
        CloseLib();
        return fail(kExitFile, "cannot read '" + o.input + "': " + loadResultText(loaded));
    }
    if (loaded & 1)
        std::fprintf(stderr, "vumo-fx: note: '%s' is not stereo; it is written as stereo\n",
                     o.input.c_str());
    if (loaded & 2)
        std::fprintf(stderr,
                     "vumo-fx: note: '%s' is not at 44100 Hz; its samples are kept and written "
                     "as 44100 Hz\n",
                     o.input.c_str());

    const bool showProgress = o.progress == ProgressMode::Always ||
                              (o.progress == ProgressMode::Auto && isTerminal(stderr) &&
                               (to - from) * int64_t(o.chain.size()) >= kLongFrames);
    runChain(o, int32_t(from), int32_t(to), showProgress);

    // CopyTo writes trackBuf unscaled, so the output holds exactly the effects' samples. The
    // input file is never written: no SaveEdits, no track switch.
    const int32_t written = o.crop ? CopyTo(int32_t(from), int32_t(to), o.output.c_str())
                                   : CopyTo(0, frames, o.output.c_str());
    CloseLib();
    if (written != 0)
        return fail(kExitFile, "cannot write '" + o.output + "'");
    return kExitOk;
}
