// media_decode_bench: how much faster than real time the media layer decodes, and how long a
// source takes to open and deliver its first frames (the wait before a capture pass's media
// starts).
//
// usage: media_decode_bench FILE_OR_SOURCE...   (sources as VUMO_CAPTURE_SOURCE names them)
// Per source: the media's length, the time to its first decoded frames, the time to decode it
// all, and the speed as a multiple of real time (the best of three runs). Not a test: figures
// only (see results.md here).
#include "platform/media/MediaReader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: media_decode_bench FILE_OR_SOURCE...\n");
        return 2;
    }
    std::printf("| Source | Length | First frames | Whole decode | Speed |\n");
    std::printf("|---|---:|---:|---:|---:|\n");
    for (int i = 1; i < argc; ++i)
    {
        const std::string source = argv[i];
        double firstMs = 1e30, wholeMs = 1e30;
        size_t frames = 0;
        for (int run = 0; run < 3; ++run)
        {
            const auto start = Clock::now();
            platform::media::MediaOpenResult opened = platform::media::openMedia(source);
            if (!opened.reader)
            {
                std::fprintf(stderr, "%s: %s\n", source.c_str(), opened.error.c_str());
                return 1;
            }
            std::vector<int16_t> samples;
            std::string error;
            bool first = true;
            for (;;)
            {
                const size_t before = samples.size();
                if (!opened.reader->read(samples, error))
                {
                    std::fprintf(stderr, "%s: %s\n", source.c_str(), error.c_str());
                    return 1;
                }
                if (first && samples.size() > before)
                {
                    firstMs = std::min(firstMs, msSince(start));
                    first = false;
                }
                if (samples.size() == before)
                    break;
            }
            wholeMs = std::min(wholeMs, msSince(start));
            frames = samples.size() / 2;
        }
        const double seconds = double(frames) / 44100.0;
        std::printf("| %s | %.1f s | %.1f ms | %.0f ms | %.0fx |\n", source.c_str(), seconds,
                    firstMs, wholeMs, seconds * 1000.0 / wholeMs);
    }
    return 0;
}
