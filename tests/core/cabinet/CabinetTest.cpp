// Project cabinets: the chain's working files, cabinets that standard tools read, create and
// open, foreign chains refused.
#include "cabinet/Cabinet.h"
#include "cabinet/CabinetScript.h"
#include "cabinet/ChainRunner.h"

#include "tests/engine/TestWave.h"
#include "tests/tools/CommandRun.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace vumo::cab;
using testwave::TempDir;
namespace fs = std::filesystem;

namespace
{

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

TEST(CabinetScript, WritesTheWorkingFilesByteForByte)
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
