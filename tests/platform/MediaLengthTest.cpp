// The length a media file states, which import uses for its progress and its cut message:
// made with the ffmpeg CLI in several formats, rates and channel counts, against the length
// the file really decodes to.
#include "platform/media/MediaReader.h"
#include "tests/engine/TestWave.h"
#include "tests/tools/CommandRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace platform::media;

TEST(MediaLength, FilesStateTheLengthTheyDecodeTo)
{
    testwave::TempDir dir;
    testwave::writeStereo(dir.file("src.wav"), testwave::ramp(3 * 44100, -20000)); // 3 s
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
        // The decoder drops an MP3's encoder delay and padding (told by its LAME header), the
        // stated duration counts its whole 1152-sample frames: two frames' worth is allowed.
        {"a.mp3", "-b:a 192k", 2304},
        {"a.ogg", "-c:a libvorbis -q:a 5", 2304},
    };
    for (const Row& row : rows)
    {
        const std::string file = dir.file(row.name);
        ASSERT_EQ(tooltest::runCommand("ffmpeg -loglevel error -y -i '" + dir.file("src.wav") +
                                       "' " + row.args + " '" + file + "'")
                      .status,
                  0)
            << row.name;
        MediaOpenResult opened = openMedia(file);
        ASSERT_TRUE(opened.reader) << opened.error;
        const int64_t stated = opened.reader->statedFrames();
        std::vector<int16_t> samples;
        std::string error;
        ASSERT_TRUE(decodeMedia(file, SIZE_MAX, samples, error)) << error;
        const auto decoded = int64_t(samples.size() / 2);
        EXPECT_NEAR(double(decoded), 3 * 44100.0, double(row.slack)) << row.name;
        EXPECT_LE(std::llabs(stated - decoded), row.slack) << row.name << " states " << stated;
    }
}
