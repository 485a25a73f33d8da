// The cabinet chain: the working files' bytes, cabinets that standard tools read, round trips
// through create and open, and foreign chains refused before anything is written.
#include "tools/cab/Cabinet.h"
#include "tools/cab/CabinetScript.h"
#include "tools/cab/ChainRunner.h"

#include "tests/engine/TestWave.h"
#include "tests/tools/CommandRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace vumo::cab;
using testwave::TempDir;
namespace fs = std::filesystem;

namespace
{

std::string text(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// A project of `tracks` wave files in its own folder, packed by the create chain in `app`.
struct PackedProject
{
    CabinetProject project;
    std::vector<std::vector<uint8_t>> waves;
};

PackedProject pack(const TempDir& app, const fs::path& trackFolder, int tracks,
                   const std::string& title = "Song")
{
    PackedProject p;
    fs::create_directories(trackFolder);
    p.project.title = title;
    p.project.projectFile = (fs::path(app.path()) / (title + ".vum")).string();
    testwave::writeBytes(p.project.projectFile, {'V', 'U', 'M'});
    for (int k = 0; k < tracks; ++k)
    {
        const std::string path = (trackFolder / ("t" + std::to_string(k) + ".wav")).string();
        p.waves.push_back(testwave::waveBytes(testwave::ramp(3000 + 1000 * k, 100 * k)));
        testwave::writeBytes(path, p.waves.back());
        p.project.trackFiles.push_back(path);
    }
    const std::string folder = app.path().string();
    EXPECT_EQ(writeLines(app.file(kChainFile), createChainLines(p.project)), "");
    EXPECT_EQ(writeLines(app.file(kRestoreFile), restoreChainLines(p.project)), "");
    EXPECT_EQ(writeLines(app.file(kDirectiveFile), directiveLines(p.project)), "");
    EXPECT_EQ(runChain(folder, kChainFile, {}), "");
    return p;
}

std::string openCabinet(const TempDir& app, const std::string& cabinet, const ChainEvents& events)
{
    std::string base;
    EXPECT_EQ(writeLines(app.file(kDirectiveFile), {kMarkerText}), "");
    EXPECT_EQ(writeLines(app.file(kChainFile), openChainLines(cabinet, base)), "");
    return runChain(app.path().string(), kChainFile, events);
}

} // namespace

TEST(CabinetScript, WritesTheWorkingFilesOfATwoTrackProjectByteForByte)
{
    TempDir dir;
    const CabinetProject song{"My Song", "C:\\Vumo\\My Song.vum", {"C:\\a\\x.wav", "D:\\y.wav"}};
    writeLines(dir.file("chain"), createChainLines(song));
    writeLines(dir.file("restore"), restoreChainLines(song));
    writeLines(dir.file("ddf"), directiveLines(song));
    EXPECT_EQ(text(testwave::readBytes(dir.file("chain"))),
              "shortn32.exe C:\\a\\x.wav t0.shn\r\nshortn32.exe D:\\y.wav t1.shn\r\n"
              "MakeCAB.EXE /F vumo.ddf\r\ndel t0.shn\r\ndel t1.shn\r\necho finis!\r\n");
    EXPECT_EQ(text(testwave::readBytes(dir.file("restore"))),
              "shortn32.exe -x t0.shn C:\\a\\x.wav\r\ndel t0.shn\r\n"
              "shortn32.exe -x t1.shn D:\\y.wav\r\ndel t1.shn\r\ndel vumo.ddf\r\necho finis!\r\n");
    EXPECT_EQ(text(testwave::readBytes(dir.file("ddf"))),
              ".Set CabinetName1 = My Song.cab\r\n.Set DiskDirectory1 = My Song\r\n"
              ".Set MaxDiskSize = 0\r\n.Set Cabinet = on\r\n.Set Compress = off\r\n"
              "\"C:\\Vumo\\My Song.vum\"\r\n\"unshortn.bat\"\r\n\"t0.shn\"\r\n\"t1.shn\"\r\n");
}

TEST(CabinetScript, OpenChainRenamesOnlyNamesLongerThanEight)
{
    const struct
    {
        const char* path;
        const char* base; // "" = "Unable to open CAB file!"
        const char* rename;
    } cases[] = {
        {"C:\\cabs\\FifteenCharName.cab", "FifteenCharName",
         "REN CharName.vum FifteenCharName.vum"},
        {"/home/me/Eightchr.cab", "Eightchr", nullptr},
        {"nofolder", "", nullptr},
        {"C:\\dir.x\\noext", "", nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.path);
        std::string base;
        const Lines lines = openChainLines(c.path, base);
        EXPECT_EQ(base, c.base);
        if (*c.base == '\0')
        {
            EXPECT_TRUE(lines.empty());
            continue;
        }
        ASSERT_EQ(lines.size(), c.rename ? 3u : 2u);
        EXPECT_EQ(lines.front(), std::string("extract /y ") + c.path + " *.*");
        if (c.rename)
        {
            EXPECT_EQ(lines[1], c.rename);
        }
        EXPECT_EQ(lines.back(), "unshortn.bat");
    }
}

TEST(CabinetChain, PacksACabinetThatCabextractAndGcabRead)
{
    for (int tracks : {0, 2})
    {
        SCOPED_TRACE(tracks);
        TempDir app;
        pack(app, app.path() / "tracks", tracks);
        const std::string cabinet = app.file("Song/Song.cab");
        std::vector<std::string> names;
        std::string error;
        ASSERT_TRUE(listCabinet(cabinet, names, error)) << error;
        std::vector<std::string> expected = {"Song.vum", "unshortn.bat"};
        for (int k = 0; k < tracks; ++k)
            expected.push_back("t" + std::to_string(k) + ".shn");
        EXPECT_EQ(names, expected);
        EXPECT_FALSE(fs::exists(app.file("t0.shn"))); // the chain removed its working files

        const std::string listing =
            tooltest::runCommand("cabextract -l '" + cabinet + "' 2>&1").out;
        const std::string gcab = tooltest::runCommand("gcab -t '" + cabinet + "' 2>&1").out;
        for (const std::string& name : expected)
        {
            EXPECT_NE(listing.find(name), std::string::npos) << listing;
            EXPECT_NE(gcab.find(name), std::string::npos) << gcab;
        }
        EXPECT_NE(listing.find("All done, no errors"), std::string::npos) << listing;
    }
}

TEST(CabinetChain, OpensIntoTheStoredPathsOrBesideTheProject)
{
    const struct
    {
        const char* name;
        bool removeTracks;  // the track folder is gone on the target machine
        const char* answer; // "" no question expected, else the answer given
        bool besideProject;
    } cases[] = {
        {"track folder gone", true, "", true},
        {"existing tracks replaced", false, "yes", false},
        {"existing tracks kept", false, "no", true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TempDir app, elsewhere;
        const fs::path trackFolder = elsewhere.path() / "tracks";
        const PackedProject p = pack(app, trackFolder, 3);
        const std::string cabinet = (elsewhere.path() / "Song.cab").string();
        fs::rename(app.file("Song/Song.cab"), cabinet);
        if (c.removeTracks)
            fs::remove_all(trackFolder);
        else
            for (const std::string& t : p.project.trackFiles)
                testwave::writeBytes(t, {'o', 'l', 'd'});

        TempDir target;
        int asked = 0, relocated = 0;
        ChainEvents events;
        events.replaceExisting = [&](const std::vector<std::string>& existing)
        {
            ++asked;
            EXPECT_EQ(existing.size(), 3u);
            return std::string(c.answer) == "yes";
        };
        events.relocated = [&](const std::string&, const std::string& restored)
        {
            ++relocated;
            EXPECT_EQ(fs::path(restored).parent_path(), target.path());
        };
        ASSERT_EQ(openCabinet(target, cabinet, events), "");
        EXPECT_EQ(asked, *c.answer ? 1 : 0);
        EXPECT_EQ(relocated, c.besideProject ? 3 : 0);
        EXPECT_TRUE(fs::exists(target.file("Song.vum")));
        EXPECT_FALSE(fs::exists(target.file(kDirectiveFile))); // the marker is gone
        for (int k = 0; k < 3; ++k)
        {
            const std::string restored = c.besideProject
                                             ? target.file("t" + std::to_string(k) + ".wav")
                                             : p.project.trackFiles[size_t(k)];
            EXPECT_EQ(testwave::readBytes(restored), p.waves[size_t(k)]) << restored;
        }
    }
}

TEST(CabinetChain, RefusesForeignChainsBeforeWritingAnything)
{
    const struct
    {
        const char* name;
        Lines restore;
        const char* refusedLine; // nullptr: the failure is not a refusal
    } cases[] = {
        {"a shell command", {"rm -rf /", "del vumo.ddf"}, "rm -rf /"},
        {"a restore outside .wav",
         {"shortn32.exe -x t0.shn /tmp/x.sh"},
         "shortn32.exe -x t0.shn /tmp/x.sh"},
        {"a delete of another file", {"del Song.vum"}, "del Song.vum"},
        {"packing from a cabinet", {"MakeCAB.EXE /F vumo.ddf"}, "MakeCAB.EXE /F vumo.ddf"},
        {"a corrupt stream", {"shortn32.exe -x t0.shn TARGET", "del vumo.ddf"}, nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TempDir app, target;
        PackedProject p = pack(app, app.path() / "tracks", 1);
        // Repack the cabinet with the foreign restore chain (and a broken stream).
        const std::string wave = target.file("restored.wav");
        Lines restore = c.restore;
        for (std::string& line : restore)
            if (auto at = line.find("TARGET"); at != std::string::npos)
                line.replace(at, 6, wave);
        ASSERT_EQ(writeLines(app.file(kRestoreFile), restore), "");
        testwave::writeBytes(app.file("t0.shn"), {'a', 'j', 'k', 'g', 2, 0xFF, 0x00});
        Directive d;
        d.cabinetName = "Foreign.cab";
        d.files = {p.project.projectFile, kRestoreFile, "t0.shn"};
        ASSERT_EQ(makeCabinet(d, app.path().string()), "");

        const std::string error = openCabinet(target, app.file("Foreign.cab"), {});
        ASSERT_NE(error, "");
        if (c.refusedLine)
        {
            EXPECT_NE(error.find(std::string("\"") + c.refusedLine + "\""), std::string::npos)
                << error;
            EXPECT_FALSE(fs::exists(target.file("Song.vum"))); // nothing was unpacked
        }
        EXPECT_FALSE(fs::exists(wave));
        EXPECT_FALSE(fs::exists(wave + ".vumo-part"));
        EXPECT_TRUE(fs::exists(target.file(kDirectiveFile))); // the marker says it failed
    }
}

TEST(CabinetChain, AcceptsOnlyTheCommandFormsVumoWrites)
{
    const struct
    {
        const char* line;
        bool accepted;
    } rows[] = {
        {"shortn32.exe /home/me/My Song-t1.wav t1.shn", true},
        {"shortn32.exe -x t16.shn C:\\Music\\take.WAV", true},
        {"shortn32.exe -x t100.shn /tmp/a.wav", false},
        {"shortn32.exe -x t0.shn /tmp/a.wav.sh", false},
        {"shortn32.exe a.wav x.shn", false},
        {"extract /y C:\\cabs\\Song.cab *.*", true},
        {"extract /y /etc/passwd *.*", false},
        {"REN CharName.vum FifteenCharName.vum", true},
        {"REN a.vum ../b.vum", false},
        {"del ../t0.shn", false},
        {"MakeCAB.EXE /F other.ddf", false},
        {"unshortn.bat & calc", false},
        {"echo finis!", true},
    };
    for (const auto& row : rows)
    {
        std::vector<ChainStep> steps;
        std::string error;
        EXPECT_EQ(parseChain({row.line}, "vumocab.bat", false, steps, error), row.accepted)
            << row.line;
    }
    // A NUL ends the name the file system sees before the ".wav" (found by the fuzz target).
    std::vector<ChainStep> steps;
    std::string error;
    const std::string nul("shortn32.exe -x t0.shn /etc/passwd\0.wav", 39);
    EXPECT_FALSE(parseChain({nul}, "unshortn.bat", true, steps, error));
}
