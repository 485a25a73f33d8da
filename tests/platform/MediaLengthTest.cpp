// Media files made by the ffmpeg CLI decode as FFmpeg decodes them (44.1 kHz stereo) and state the
// length they decode to (import's progress and cut message).
#include "platform/media/MediaReader.h"
#include "tests/engine/TestWave.h"
#include "tests/tools/CommandRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace platform::media;

TEST(MediaLength, FilesDecodeAsFfmpegDecodesThemAndStateTheLengthTheyDecodeTo)
{
    testwave::TempDir dir;
    testwave::writeStereo(dir.file("src.wav"), testwave::ramp(3 * 44100, -20000)); // 3 s
    const auto ffmpeg = [](const std::string& args)
    { return tooltest::runCommand("ffmpeg -loglevel error -y " + args); };
    struct Row
    {
        const char* name;
        const char* args; // how ffmpeg makes it from src.wav
        int64_t slack;    // frames the stated length may miss the decoded one by
    };
    const Row rows[] = {
        {"same.wav", "-c:a pcm_s16le", 0},
        {"48k24.wav", "-ar 48000 -c:a pcm_s24le", 2},
        {"mono22k.flac", "-ar 22050 -ac 1", 2},
        // The stated duration counts the encoder's delay and padding: two MP3 frames allowed.
        {"a.mp3", "-b:a 192k", 2304},
        {"a.ogg", "-c:a libvorbis -q:a 5", 2304},
        {"a22k-mono.ogg", "-ar 22050 -ac 1", 2304},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        const std::string file = dir.file(row.name);
        ASSERT_EQ(ffmpeg("-i '" + dir.file("src.wav") + "' " + row.args + " '" + file + "'").status,
                  0);
        MediaOpenResult opened = openMedia(file);
        ASSERT_TRUE(opened.reader) << opened.error;
        const int64_t stated = opened.reader->statedFrames();
        std::vector<int16_t> got;
        std::string error;
        ASSERT_TRUE(decodeMedia(file, SIZE_MAX, got, error)) << error;
        const auto decoded = int64_t(got.size() / 2);
        EXPECT_NEAR(double(decoded), 3 * 44100.0, double(row.slack));
        EXPECT_LE(std::llabs(stated - decoded), row.slack) << "states " << stated;
        const std::string raw = ffmpeg("-i '" + file + "' -f s16le -ar 44100 -ac 2 -").out;
        std::vector<int16_t> want(raw.size() / 2);
        std::memcpy(want.data(), raw.data(), want.size() * 2);
        EXPECT_NEAR(double(got.size()), double(want.size()), 2.0);
        int worst = 0;
        for (size_t i = 0; i < std::min(got.size(), want.size()); ++i)
            worst = std::max(worst, std::abs(got[i] - want[i]));
        EXPECT_LE(worst, 2);
    }
}
