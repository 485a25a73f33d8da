// synth_timing: how late the built-in synth's drums sound on the virtual stream, and whether
// they drift over a song.
//
// usage: synth_timing [speed] [song seconds] [tick ms]
//   speed:  VUMO_VIRTUAL_SPEED for the run (default 1: real time)
//   song:   length of the song in virtual seconds (default 60)
//   tick:   0 sends every hit at its exact due time; 10 (the default) sends the hits the way the
//           engine's MIDI queue does, on the first 10 ms timer tick after their time
//
// A bass drum hit every 250 ms goes through the product's path: the periodic timer on the
// process's steady clock, SynthMidiOut on the virtual audio backend, the virtual stream at the
// given speed, the wave file of VUMO_VIRTUAL_MIDI_AUDIO. Per hit it compares three stream
// frames: the hit's nominal frame, the frame due when shortMsg() was called, and the first
// frame of the file louder than -50 dBFS. Not a test: figures only (see results.md here).
#include "platform/Clock.h"
#include "platform/MmResult.h"
#include "platform/PeriodicTimer.h"
#include "platform/synth/SynthMidiOut.h"
#include "platform/virtual/VirtualStream.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

constexpr double kFramesPerMs = 44.1;
constexpr int64_t kHitMs = 250;
constexpr uint32_t kBassDrum = 0x642499; // note-on, channel 10, key 36, velocity 100
constexpr int kSoundLevel = 100;

struct Hit
{
    int64_t dueMs;
    int64_t sentFrame = -1; // the frame due when shortMsg() was called, from the song's start
    int64_t onsetFrame = -1;
};

std::vector<int16_t> readSamples(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    file.seekg(44);
    std::vector<int16_t> samples;
    int16_t s = 0;
    while (file.read(reinterpret_cast<char*>(&s), 2))
        samples.push_back(s);
    return samples;
}

// The first frame at or after `from` (and before `to`) louder than kSoundLevel, or -1.
int64_t onsetBetween(const std::vector<int16_t>& s, int64_t from, int64_t to)
{
    for (int64_t f = std::max<int64_t>(from, 0); f < to && size_t(f) * 2 + 1 < s.size(); ++f)
    {
        if (std::abs(s[size_t(f) * 2]) > kSoundLevel ||
            std::abs(s[size_t(f) * 2 + 1]) > kSoundLevel)
            return f;
    }
    return -1;
}

struct Summary
{
    double median, p95, max;
};

Summary summarize(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 95 / 100)], v.back()};
}

// Least-squares slope of y over x.
double slope(const std::vector<double>& x, const std::vector<double>& y)
{
    double mx = 0, my = 0;
    for (size_t i = 0; i < x.size(); ++i)
        mx += x[i], my += y[i];
    mx /= double(x.size());
    my /= double(y.size());
    double sxy = 0, sxx = 0;
    for (size_t i = 0; i < x.size(); ++i)
        sxy += (x[i] - mx) * (y[i] - my), sxx += (x[i] - mx) * (x[i] - mx);
    return sxx > 0 ? sxy / sxx : 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string speed = argc > 1 ? argv[1] : "1";
    const int64_t songMs = (argc > 2 ? std::atoll(argv[2]) : 60) * 1000;
    const int32_t tickMs = argc > 3 ? std::atoi(argv[3]) : 10;
    const std::string wave =
        (std::filesystem::temp_directory_path() / "vumo_synth_timing.wav").string();
    std::filesystem::remove(wave);
    setenv("VUMO_AUDIO_BACKEND", "virtual", 1);
    setenv("VUMO_VIRTUAL_SPEED", speed.c_str(), 1);
    setenv("VUMO_VIRTUAL_MIDI_AUDIO", wave.c_str(), 1);

    std::vector<Hit> hits;
    for (int64_t t = 0; t < songMs; t += kHitMs)
        hits.push_back({t});

    platform::SynthMidiOut synth;
    if (const int32_t rc = synth.open(); rc != platform::kMmNoError)
    {
        std::fprintf(stderr, "the synth does not open: %d\n", rc);
        return 1;
    }
    const auto stream = platform::acquireVirtualStream(); // the one the synth plays on
    const auto timerClock = platform::steadyClock();
    // The synth made the process's virtual stream, so its file starts at the stream's frame 0.
    const int64_t openFrame = 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

    // The song starts now on the stream and the timer's clock (both run at real time x speed).
    const int64_t startFrame = int64_t(stream->dueFrames());
    const auto startUs = timerClock->now();
    const auto wallStart = std::chrono::steady_clock::now();
    auto send = [&](Hit& h)
    {
        h.sentFrame = int64_t(stream->dueFrames()) - startFrame;
        synth.shortMsg(kBassDrum);
    };
    if (tickMs <= 0)
    {
        for (Hit& h : hits)
        {
            timerClock->sleepUntil(startUs + std::chrono::milliseconds(h.dueMs), {});
            send(h);
        }
    }
    else
    {
        // The engine's tick: elapsed += period; send every hit whose time is below it.
        std::atomic<size_t> next{0};
        int64_t elapsedMs = 0;
        auto timer = platform::makePeriodicTimer();
        timer->start(tickMs,
                     [&](platform::PeriodicTimer& self)
                     {
                         elapsedMs += tickMs;
                         size_t i = next.load();
                         while (i < hits.size() && hits[i].dueMs < elapsedMs)
                             send(hits[i++]);
                         next.store(i);
                         if (i == hits.size())
                             self.cancel();
                     });
        while (next.load() < hits.size())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        timer->cancel();
    }
    timerClock->sleepUntil(timerClock->now() + std::chrono::milliseconds(500), {});
    const double wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    synth.close();

    // The file starts at the frame the synth stood at when it opened.
    const std::vector<int16_t> samples = readSamples(wave);
    const int64_t fileOffset = startFrame - openFrame;
    std::vector<double> sendLate, synthLate, totalLate, dueSeconds;
    for (Hit& h : hits)
    {
        const int64_t nominal = int64_t(std::llround(double(h.dueMs) * kFramesPerMs));
        const int64_t onset =
            onsetBetween(samples, fileOffset + h.sentFrame - 441, fileOffset + h.sentFrame + 4410);
        if (onset < 0)
        {
            std::printf("hit at %lld ms not heard\n", (long long)h.dueMs);
            continue;
        }
        h.onsetFrame = onset - fileOffset;
        sendLate.push_back(double(h.sentFrame - nominal) / kFramesPerMs);
        synthLate.push_back(double(h.onsetFrame - h.sentFrame) / kFramesPerMs);
        totalLate.push_back(double(h.onsetFrame - nominal) / kFramesPerMs);
        dueSeconds.push_back(double(h.dueMs) / 1000.0);
    }
    std::printf("speed %s, song %lld s, tick %d ms, wall %.1f s: %zu of %zu hits heard\n",
                speed.c_str(), (long long)(songMs / 1000), tickMs, wallSeconds, totalLate.size(),
                hits.size());
    if (totalLate.empty())
        return 1;
    const auto print = [](const char* what, const std::vector<double>& v)
    {
        const Summary s = summarize(v);
        std::printf("%-44s median %7.2f  p95 %7.2f  max %7.2f ms\n", what, s.median, s.p95, s.max);
    };
    print("sent after the hit's time (timer)", sendLate);
    print("sound after the send (synth)", synthLate);
    print("sound after the hit's time (whole path)", totalLate);
    // Drift: the least-squares trend over the song, and the median of the last 20 hits
    // against that of the first 20 (robust to a single late tick).
    const auto drift = [&](const char* what, const std::vector<double>& v)
    {
        const size_t n = std::min<size_t>(20, v.size() / 2);
        const std::vector<double> head(v.begin(), v.begin() + long(n));
        const std::vector<double> tail(v.end() - long(n), v.end());
        std::printf("%-44s trend %+7.3f ms per minute, last %zu vs first %zu: %+6.2f ms\n", what,
                    slope(dueSeconds, v) * 60.0, n, n,
                    summarize(tail).median - summarize(head).median);
    };
    drift("drift of the send (timer)", sendLate);
    drift("drift of the sound after the send (synth)", synthLate);
    drift("drift of the whole path", totalLate);
    std::filesystem::remove(wave);
    return 0;
}
