// Project cabinets: Shorten round trips that FFmpeg reads alike, bad streams refused; the chain's
// working files, cabinets that standard tools read, create and open, foreign chains refused.
#include "tools/cab/Cabinet.h"
#include "tools/cab/CabinetScript.h"
#include "tools/cab/ChainRunner.h"
#include "tools/cab/Shorten.h"

#include "tests/engine/TestWave.h"
#include "tests/tools/CommandRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>

using namespace vumo::cab;
using testwave::TempDir;
namespace fs = std::filesystem;

namespace
{

using Samples = std::vector<int16_t>;

struct Signal
{
    const char* name;
    int frames;
    int channels;
    Samples (*make)(int samples);
    std::vector<std::string> chunksBeforeData = {};
    double maxRatio = 0; // of the stream's size to the file's; 0: not checked
};

// Silence, full-scale noise (-32768 included), a square wave between the limits, a pure tone (which
// the third-order predictor codes best), or two tones and a little noise as a track might hold.
template <char kind> Samples make(int n)
{
    std::mt19937 random(7);
    Samples s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        s[size_t(i)] = kind == '0'   ? int16_t(0)
                       : kind == 'n' ? int16_t(random() & 0xFFFF)
                       : kind == 't' ? int16_t(30000 * std::sin(i * 0.03))
                       : kind == 's'
                           ? int16_t((i / 100) % 2 ? 32767 : -32768)
                           : int16_t(9000 * std::sin(i * 0.031) + 5000 * std::sin(i * 0.0071) +
                                     int(random() % 64) - 32);
    return s;
}
constexpr auto silence = make<'0'>, noise = make<'n'>, square = make<'s'>, tone = make<'t'>,
               music = make<'m'>;

std::vector<uint8_t> waveFile(const Signal& signal)
{
    return testwave::waveBytes(
        signal.make(signal.frames * signal.channels),
        {.channels = uint16_t(signal.channels), .chunksBeforeData = signal.chunksBeforeData});
}

// A project of `tracks` wave files, packed by the create chain in `app`.
void pack(const TempDir& app, int tracks)
{
    CabinetProject project{"Song", app.file("Song.vum"), {}};
    testwave::writeBytes(project.projectFile, {'V', 'U', 'M'});
    for (int k = 0; k < tracks; ++k)
    {
        project.trackFiles.push_back(app.file("track" + std::to_string(k) + ".wav"));
        testwave::writeBytes(project.trackFiles.back(),
                             testwave::waveBytes(testwave::ramp(3000 + 1000 * k, 100 * k)));
    }
    EXPECT_EQ(writeLines(app.file(kChainFile), createChainLines(project)), "");
    EXPECT_EQ(writeLines(app.file(kRestoreFile), restoreChainLines(project)), "");
    EXPECT_EQ(writeLines(app.file(kDirectiveFile), directiveLines(project)), "");
    EXPECT_EQ(runChain(app.path().string(), kChainFile, {}), "");
}

} // namespace

TEST(CabinetScript,
     WritesTheWorkingFilesByteForByteAndRenamesInTheOpenChainOnlyNamesLongerThanEight)
{
    TempDir dir;
    const CabinetProject song{"My Song", "C:\\Vumo\\My Song.vum", {"C:\\a\\x.wav", "D:\\y.wav"}};
    const std::pair<Lines, std::string> files[] = {
        {createChainLines(song),
         "shortn32.exe C:\\a\\x.wav t0.shn\r\nshortn32.exe D:\\y.wav t1.shn\r\n"
         "MakeCAB.EXE /F vumo.ddf\r\ndel t0.shn\r\ndel t1.shn\r\necho finis!\r\n"},
        {restoreChainLines(song),
         "shortn32.exe -x t0.shn C:\\a\\x.wav\r\ndel t0.shn\r\n"
         "shortn32.exe -x t1.shn D:\\y.wav\r\ndel t1.shn\r\ndel vumo.ddf\r\necho finis!\r\n"},
        {directiveLines(song),
         ".Set CabinetName1 = My Song.cab\r\n.Set DiskDirectory1 = My Song\r\n"
         ".Set MaxDiskSize = 0\r\n.Set Cabinet = on\r\n.Set Compress = off\r\n"
         "\"C:\\Vumo\\My Song.vum\"\r\n\"unshortn.bat\"\r\n\"t0.shn\"\r\n\"t1.shn\"\r\n"},
    };
    for (const auto& [lines, text] : files)
    {
        ASSERT_EQ(writeLines(dir.file("file"), lines), "");
        const std::vector<uint8_t> bytes = testwave::readBytes(dir.file("file"));
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text);
    }
    // path, base name ("": "Unable to open CAB file!"), lines
    const std::tuple<const char*, const char*, Lines> cases[] = {
        {"C:\\cabs\\FifteenCharName.cab",
         "FifteenCharName",
         {"extract /y C:\\cabs\\FifteenCharName.cab *.*", "REN CharName.vum FifteenCharName.vum",
          "unshortn.bat"}},
        {"/home/me/Eightchr.cab",
         "Eightchr",
         {"extract /y /home/me/Eightchr.cab *.*", "unshortn.bat"}},
        {"nofolder", "", {}},
        {"C:\\dir.x\\noext", "", {}},
    };
    for (const auto& [path, base, lines] : cases)
    {
        std::string got;
        EXPECT_EQ(openChainLines(path, got), lines) << path;
        EXPECT_EQ(got, base) << path;
    }
}

TEST(CabinetChain, PacksACabinetThatCabextractAndGcabRead)
{
    for (int tracks : {0, 2})
    {
        SCOPED_TRACE(tracks);
        TempDir app;
        pack(app, tracks);
        const std::string cabinet = app.file("Song/Song.cab");
        std::vector<std::string> names;
        std::string error;
        ASSERT_TRUE(listCabinet(cabinet, names, error)) << error;
        std::vector<std::string> expected = {"Song.vum", "unshortn.bat"};
        for (int k = 0; k < tracks; ++k)
            expected.push_back("t" + std::to_string(k) + ".shn");
        EXPECT_EQ(names, expected);
        EXPECT_FALSE(fs::exists(app.file("t0.shn"))); // the chain removed its working files

        // cabextract ends with its verdict, gcab's listing with the last name.
        for (const auto& [tool, verdict] :
             {std::pair{"cabextract -l '", "All done, no errors"}, {"gcab -t '", ""}})
        {
            const std::string listing = tooltest::runCommand(tool + cabinet + "' 2>&1").out;
            EXPECT_NE(listing.find(verdict), std::string::npos) << listing;
            for (const std::string& name : expected)
                EXPECT_NE(listing.find(name), std::string::npos) << listing;
        }
    }
}

TEST(CabinetChain, AcceptsOnlyTheCommandFormsVumoWrites)
{
    const std::pair<Lines, bool> rows[] = {
        {{"shortn32.exe /home/me/My Song-t1.wav t1.shn"}, true},
        {{"shortn32.exe -x t16.shn C:\\Music\\take.WAV"}, true},
        {{"shortn32.exe -x t100.shn /tmp/a.wav"}, false},
        {{"shortn32.exe -x t0.shn /tmp/a.wav.sh"}, false},
        {{"shortn32.exe a.wav x.shn"}, false},
        {{"extract /y C:\\cabs\\Song.cab *.*"}, true},
        {{"extract /y /etc/passwd *.*"}, false},
        {{"REN CharName.vum FifteenCharName.vum"}, true},
        {{"REN a.vum ../b.vum"}, false},
        {{"del ../t0.shn"}, false},
        {{"MakeCAB.EXE /F other.ddf"}, false},
        {{"unshortn.bat & calc"}, false},
        {{"echo finis!"}, true},
        // A NUL ends the name the file system sees before the ".wav" (found by the fuzz target).
        {{std::string("shortn32.exe -x t0.shn /etc/passwd\0.wav", 39)}, false},
        {{"shortn32.exe -x t0.shn /tmp/a\tb.wav"}, false},
        // One stream restored twice would fill the disk.
        {{"shortn32.exe -x t0.shn /tmp/a.wav", "shortn32.exe -x t0.shn /tmp/b.wav"}, false},
    };
    for (const auto& [lines, accepted] : rows)
    {
        std::vector<ChainStep> steps;
        std::string error;
        EXPECT_EQ(parseChain(lines, "vumocab.bat", false, steps, error), accepted) << lines[0];
    }
}

TEST(Shorten, RoundTripsByteForByteFfmpegReadsTheSameSamplesAndBadStreamsAreRefusedWithoutAPart)
{
    // It compresses silence and music and barely grows noise.
    const Signal signals[] = {
        {"silence", 100000, 2, silence, {}, 0.01},
        {"full-scale noise", 20000, 2, noise, {}, 1.05},
        {"square wave", 44100, 2, square},
        {"not a whole number of blocks", 44100 + 100, 2, music, {}, 0.6},
        {"mono", 3001, 1, music},
        {"a chunk before the data", 700, 2, music, {"LIST"}},
        {"pure tone", 4000, 2, tone},
        {"no samples", 0, 2, silence},
    };
    TempDir dir;
    for (const Signal& signal : signals)
    {
        SCOPED_TRACE(signal.name);
        const std::vector<uint8_t> wave = waveFile(signal);
        std::vector<uint8_t> stream, back;
        std::string error;
        ASSERT_TRUE(shortenEncode(wave, stream, error)) << error;
        ASSERT_TRUE(shortenDecode(stream, back, error)) << error;
        EXPECT_EQ(back, wave);
        EXPECT_TRUE(signal.maxRatio == 0 ||
                    double(stream.size()) < signal.maxRatio * double(wave.size()));
        if (signal.frames == 0)
            continue; // FFmpeg gives no stream for a file without samples
        // FFmpeg's decode, raw 16-bit little-endian samples, against the file's data chunk.
        testwave::writeBytes(dir.file("signal.shn"), stream);
        ASSERT_EQ(std::system(("ffmpeg -v error -y -f shn -i '" + dir.file("signal.shn") +
                               "' -f s16le '" + dir.file("ffmpeg.raw") + "'")
                                  .c_str()),
                  0);
        const size_t dataStart = wave.size() - size_t(signal.frames) * signal.channels * 2;
        EXPECT_EQ(testwave::readBytes(dir.file("ffmpeg.raw")),
                  std::vector<uint8_t>(wave.begin() + long(dataStart), wave.end()));
    }
    // What it cannot code or decode is refused.
    std::vector<uint8_t> stream, out;
    std::string error;
    EXPECT_FALSE(shortenEncode(testwave::waveBytes(music(100), {.bits = 8, .chunksBeforeData = {}}),
                               stream, error));
    EXPECT_NE(error.find("16-bit"), std::string::npos);
    EXPECT_FALSE(shortenEncode(std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}, stream, error));

    const Signal signal{"music", 3000, 2, music};
    // A file whose writer left out the pad byte after an odd chunk codes and decodes whole.
    const std::vector<uint8_t> unpadded = testwave::withOddListChunk(waveFile(signal), -1);
    ASSERT_TRUE(shortenEncode(unpadded, stream, error)) << error;
    ASSERT_TRUE(shortenDecode(stream, out, error)) << error;
    EXPECT_EQ(out, unpadded);
    ASSERT_TRUE(shortenEncode(waveFile(signal), stream, error));
    // Every cut of the stream and a flipped version byte are refused (tests/fuzz/FuzzShorten.cpp
    // feeds it damaged streams).
    for (size_t cut = 0; cut < stream.size(); cut += 7)
    {
        const std::vector<uint8_t> part(stream.begin(), stream.begin() + long(cut));
        EXPECT_FALSE(shortenDecode(part, out, error)) << "cut at " << cut;
    }
    std::vector<uint8_t> otherVersion = stream;
    otherVersion[4] = 1;
    EXPECT_FALSE(shortenDecode(otherVersion, out, error));
    EXPECT_NE(error.find("version 1"), std::string::npos);
    // A failed decode leaves the old file whole and no part.
    const std::string target = dir.file("t1.wav");
    const std::vector<uint8_t> old = waveFile({"old", 500, 2, music});
    testwave::writeBytes(target, old);
    ASSERT_TRUE(shortenEncode(waveFile({"new", 900, 2, square}), stream, error));
    stream.resize(stream.size() / 2);
    testwave::writeBytes(dir.file("t1.shn"), stream);

    EXPECT_FALSE(shortenDecodeFile(dir.file("t1.shn"), target, error));
    EXPECT_NE(error.find("t1.shn"), std::string::npos);
    EXPECT_EQ(testwave::readBytes(target), old);
    EXPECT_FALSE(std::filesystem::exists(target + ".vumo-part"));

    // The file-level round trip.
    ASSERT_TRUE(shortenEncodeFile(target, dir.file("t2.shn"), error)) << error;
    ASSERT_TRUE(shortenDecodeFile(dir.file("t2.shn"), dir.file("t2.wav"), error)) << error;
    EXPECT_EQ(testwave::readBytes(dir.file("t2.wav")), old);
    EXPECT_FALSE(shortenEncodeFile(dir.file("missing.wav"), dir.file("t3.shn"), error));
    EXPECT_FALSE(std::filesystem::exists(dir.file("t3.shn")));

    // A stream that decodes to more frames or bytes than allowed is refused on the way. A part
    // left by a killed run (here a link to a decoy) is replaced, never written through.
    const std::tuple<uint64_t, uint64_t, const char*> limits[] = {
        {499, UINT64_MAX, "more than 499 sample frames"},
        {UINT64_MAX, 1000, "more than 1000 bytes"},
        {500, old.size(), nullptr},
    };
    const std::string decoy = dir.file("decoy"), part = dir.file("t4.wav.vumo-part");
    for (const auto& [frames, bytes, refusal] : limits)
    {
        const DecodeLimits limit{frames, bytes, {}, {}};
        testwave::writeBytes(decoy, {'d'});
        fs::create_symlink(decoy, part);
        EXPECT_EQ(shortenDecodeFile(dir.file("t2.shn"), dir.file("t4.wav"), error, limit),
                  refusal == nullptr);
        EXPECT_NE(error.find(refusal ? refusal : ""), std::string::npos) << error;
        EXPECT_EQ(fs::exists(dir.file("t4.wav")), refusal == nullptr);
        EXPECT_EQ(testwave::readBytes(decoy), std::vector<uint8_t>{'d'});
        EXPECT_FALSE(fs::exists(fs::symlink_status(part)));
    }
    EXPECT_EQ(testwave::readBytes(dir.file("t4.wav")), old);
}
