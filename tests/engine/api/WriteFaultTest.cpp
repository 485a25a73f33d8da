// Every writer of the engine on a full disk and under a file size limit: reported, the folder and
// the track's edits as they were, and the same write succeeds once the fault is gone.
#include "tests/engine/ExportFixture.h"

#include <csignal>
#include <functional>
#include <map>
#include <sys/mount.h>
#include <sys/resource.h>

namespace
{

namespace fs = std::filesystem;

constexpr int32_t kTrackFrames = 4000; // 16044-byte track files: two and a clip fit 64 KiB

class WriteFaults : public ExportFixture
{
protected:
    const fs::path disk = dir.path() / "disk";
    bool mounted = false;

    void SetUp() override
    {
        ExportFixture::SetUp(), fs::create_directories(disk);
        setenv("TMPDIR", disk.c_str(), 1); // where a recovery file would go
    }
    void TearDown() override
    {
        ExportFixture::TearDown(), unsetenv("TMPDIR");
        if (mounted)
            ::umount(disk.c_str());
    }
    std::string trackFile(int t) const override
    {
        return (disk / ("t" + std::to_string(t))).string();
    }
    void runAll(bool fullDisk)
    {
        const std::string clip = (disk / "clip.wav").string();
        const auto folder = [this]
        {
            std::map<std::string, std::vector<uint8_t>> files;
            for (const auto& e : fs::directory_iterator(disk))
                files[e.path().filename().string()] = testwave::readBytes(e.path().string());
            return files;
        };
        // What each writes and the frames of the clip once it succeeds (0: no clip).
        const std::tuple<const char*, std::function<int32_t()>, int32_t> writers[] = {
            {"track save", [] { return SaveEdits(); }, 0},
            {"switch, no copy anywhere", [] { return SetCurTrack(1, 1); }, 0},
            {"CopyTo", [&] { return CopyTo(500, 3500, clip.c_str()); }, 3000},
            {"CutTo", [&] { return CutTo(500, 3500, clip.c_str()); }, 3000},
            {"SaveAsWave", [&] { return SaveAsWave(0, kTrackFrames, clip.c_str()); }, kTrackFrames},
        };
        for (const bool targetExists : {false, true}) // a previous "clip.wav" is in the folder
            for (const auto& [what, write, clipFrames] : writers)
            {
                SCOPED_TRACE(std::string(what) + (targetExists ? " over a file" : ""));
                for (const auto& e : fs::directory_iterator(disk))
                    fs::remove(e.path());
                if (targetExists)
                    testwave::writeStereo(clip, std::vector<int16_t>(2 * kTrackFrames, -5));
                openTracks(
                    kTrackFrames,
                    {testwave::ramp(kTrackFrames, 2), std::vector<int16_t>(2 * kTrackFrames, 77)},
                    {{255, 128}, {255, 128}}, 0);
                ASSERT_EQ(TrackWrite(0, 1234), 0); // a pending edit
                const auto track = trackSamples(kTrackFrames);
                const auto clipBefore = testwave::readSamples(clip);

                rlimit oldLimit{};
                ::getrlimit(RLIMIT_FSIZE, &oldLimit);
                const rlimit small{8192, oldLimit.rlim_max}; // below every file written here
                std::FILE* filler = fullDisk ? std::fopen((disk / "f").c_str(), "wb") : nullptr;
                while (filler && std::fputc('f', filler) != EOF && std::fflush(filler) == 0)
                    continue;
                if (filler)
                    std::fclose(filler);
                else
                    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
                const auto before = folder();
                const int32_t failed = write();
                ::setrlimit(RLIMIT_FSIZE, &oldLimit);
                EXPECT_EQ(failed, -1);
                EXPECT_EQ(folder(), before);
                EXPECT_EQ(trackSamples(kTrackFrames), track);

                fs::remove(disk / "f");
                EXPECT_EQ(write(), 0);
                EXPECT_EQ(testwave::readSamples(clip).size(),
                          clipFrames ? 2 * size_t(clipFrames) : clipBefore.size());
                // The edit stayed pending through the failure.
                EXPECT_EQ(SaveEdits(), 0);
                EXPECT_EQ(testwave::readSamples(trackFile(0))[0], 1234);
                CloseLib();
            }
    }
};

} // namespace

TEST_F(WriteFaults, OnAFullDisk)
{
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    mounted = true;
    runAll(true);
}

TEST_F(WriteFaults, UnderAFileSizeLimit)
{
    // The limit's signal would end the process; ignored, the write fails with EFBIG.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    runAll(false);
    std::signal(SIGXFSZ, oldHandler);
}
