// The media layer: exact wave decoding (compressed files: MediaLengthTest.cpp), MIDI rendering,
// the virtual CD, and the errors a capture is refused with before it starts.
#include "platform/media/MediaReader.h"
#include "PlatformTestSupport.h"
#include "platform/synth/SoundFont.h"
#include "platform/virtual/VirtualMidiIn.h"
#include "platform/virtual/VirtualWaveSource.h"
#include "tests/SpecialFiles.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace platform::media;
using platform::test::ScopedEnv;

namespace
{

// One track: middle C for 96 ticks of 96 per quarter note at 120 bpm, half a second.
std::vector<uint8_t> middleC()
{
    return {'M', 'T', 'h', 'd', 0,  0, 0,    6,  0,   0,  0,    1,  0,  96, 'M',  'T',  'r',
            'k', 0,   0,   0,   12, 0, 0x90, 60, 100, 96, 0x80, 60, 64, 0,  0xFF, 0x2F, 0};
}

std::vector<int16_t> decoded(const std::string& source, size_t maxFrames = SIZE_MAX)
{
    std::vector<int16_t> samples;
    std::string error;
    EXPECT_TRUE(decodeMedia(source, maxFrames, samples, error)) << error;
    return samples;
}

TEST(MediaReader, WaveDecodesToItsOwnSamplesAndMidiThroughTheSynth)
{
    testwave::TempDir dir;
    const auto samples = testwave::ramp(30000, -15000);
    testwave::writeStereo(dir.file("http:take.wav"), samples);
    // A relative name with a colon is a file, not a network address.
    const auto home = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(decoded("http:take.wav"), samples);
    std::filesystem::current_path(home);
    EXPECT_EQ(decoded(dir.file("http:take.wav"), 1000),
              std::vector<int16_t>(samples.begin(), samples.begin() + 2000));
    // MIDI files are rendered by the built-in synth.
    if (platform::findSoundFont().path.empty())
        GTEST_SKIP() << "no SoundFont on this machine";
    testwave::writeBytes(dir.file("c.mid"), middleC());
    const auto s = decoded(dir.file("c.mid"));
    // The note, its release, and FluidSynth's pause after the end of the song.
    ASSERT_GT(s.size() / 2, 22050u);
    EXPECT_LT(s.size() / 2, 22050u + 5 * 44100u);
    const auto loud = [&](size_t from, size_t to)
    {
        int peak = 0;
        for (size_t i = 2 * from; i < 2 * to && i < s.size(); ++i)
            peak = std::max(peak, std::abs(int(s[i])));
        return peak;
    };
    EXPECT_GT(loud(0, 22050), 500);
    EXPECT_LT(loud(s.size() / 2 - 11025, s.size() / 2), loud(0, 22050) / 4);
}

TEST(MediaReader, VirtualCdTracksAreTheFolderWaveFilesAndOtherSourcesAreRefusedWithAReason)
{
    testwave::TempDir dir;
    platform::test::writeText(dir.file("noise.mp3"), std::string(5000, 'x'));
    platform::test::writeText(dir.file("fake.mid"), "MThd but nothing after");
    auto cut = middleC();
    cut.resize(cut.size() - 3); // the track chunk is longer than what is left of the file
    testwave::writeBytes(dir.file("cut.mid"), cut);
    testwave::writeBytes(dir.file("good.MIDI"), middleC());
    testwave::writeStereo(dir.file("track01.wav"), testwave::ramp(100));
    ScopedEnv font("VUMO_SOUNDFONT", std::nullopt);
    platform::setSoundFontSearchPaths({}); // a machine without a SoundFont
    const std::tuple<std::string, std::string, const char*> cases[] = {
        // source, CD, error
        {dir.file("missing.wav"), "", "cannot be opened"},
        {dir.file("noise.mp3"), "", "noise.mp3"},
        {dir.file("fake.mid"), "", "cannot be opened as a MIDI file"},
        {dir.file("cut.mid"), "", "cannot be opened as a MIDI file"},
        {dir.file("good.MIDI"), "", "SoundFont"},
        {"cdda:3", dir.path().string(), "The CD has no track 3."},
        {"cdda:0", dir.path().string(), "names no CD track"},
        {"cdda:1", dir.file("no-such-folder"), "There is no audio CD in the drive."},
        {"cdda:100", dir.path().string(), "names no CD track"},
        {"", "", "No media file"},
    };
    for (const auto& [source, cdFolder, says] : cases)
    {
        ScopedEnv cd("VUMO_VIRTUAL_CD", cdFolder);
        const std::string error = probeMedia(source);
        EXPECT_NE(error.find(says), std::string::npos) << source << ": " << error;
    }
    platform::resetSoundFontSearchPaths();
    // A virtual CD's tracks are the folder's wave files.
    const auto track2 = testwave::ramp(5000, 77);
    testwave::writeStereo(dir.file("track02.wav"), track2);
    ScopedEnv cd("VUMO_VIRTUAL_CD", dir.path().string());
    EXPECT_EQ(probeMedia("cdda:1"), "");
    EXPECT_EQ(cdTrackSource(2), "cdda:2");
    EXPECT_EQ(decoded("cdda:2"), track2);
    EXPECT_EQ(decoded("cdda:02"), track2);
}

TEST(MediaReader, SpecialFilesAndImpossibleRatesOrChannelCountsAreRefusedAtOnce)
{
    testwave::TempDir dir;
    auto rows = specialfiles::make(dir.path() / "special");
    rows.pop_back(); // media are decoded as they are captured, whatever their size
    ASSERT_EQ(::mkfifo(dir.file("fifo.mid").c_str(), 0600), 0);
    rows.push_back({"a FIFO named as a MIDI file", dir.file("fifo.mid")});
    for (const auto& [what, path] : rows)
    {
        const specialfiles::HangGuard guard(what);
        EXPECT_NE(probeMedia(path).find("it is not a regular file"), std::string::npos) << what;
        std::vector<int16_t> samples;
        EXPECT_FALSE(platform::readWaveFrames(path, 100, samples)) << what;
        EXPECT_TRUE(platform::readMidiEventsFile(path).empty()) << what;
    }
    // A file stating two billion frames per second or 65 channels is refused before resampling.
    const std::pair<testwave::WaveLayout, const char*> layouts[] = {
        {{.rate = 2000000000}, "sample rate of 2000000000 Hz is outside 1 Hz to 768 kHz"},
        {{.channels = 65}, "it has 65 channels, not 1 to 64"},
    };
    for (const auto& [layout, says] : layouts)
    {
        const specialfiles::HangGuard guard(says);
        testwave::writeBytes(dir.file("odd.wav"),
                             testwave::waveBytes(testwave::ramp(2210), layout));
        EXPECT_NE(probeMedia(dir.file("odd.wav")).find(says), std::string::npos)
            << probeMedia(dir.file("odd.wav"));
    }
}

} // namespace
