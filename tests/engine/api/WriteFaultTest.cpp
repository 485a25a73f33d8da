// Every writer of the engine on a full disk and under a file size limit: the failure is
// reported, the folder is exactly as it was (the previous file byte for byte, no partial, part
// or recovery file), the track and its edits are still there, and the same write succeeds
// once the fault is gone.
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
constexpr int16_t kEdit = 1234;        // the pending edit: sample 0 of track 0

struct Writer
{
    const char* what;
    std::function<int32_t(const char* clip)> write;
    int32_t clipFrames; // what the write must produce once it succeeds; 0: no clip
};

class WriteFaults : public ExportFixture
{
protected:
    fs::path disk = dir.path() / "disk";
    bool mounted = false;
    const char* tmp = std::getenv("TMPDIR");
    const std::string oldTmp = tmp ? tmp : "";

    void SetUp() override
    {
        ExportFixture::SetUp();
        fs::create_directories(disk);
        // The temp folder's recovery file would otherwise be a copy kept elsewhere.
        setenv("TMPDIR", disk.c_str(), 1);
    }
    void TearDown() override
    {
        ExportFixture::TearDown();
        oldTmp.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", oldTmp.c_str(), 1);
        if (mounted)
            ::umount(disk.c_str());
    }
    std::string at(const char* name) const { return (disk / name).string(); }
    std::string trackFile(int t) const override { return at(t ? "t1.wav" : "t0.wav"); }
    std::map<std::string, std::vector<uint8_t>> folder() const
    {
        std::map<std::string, std::vector<uint8_t>> files;
        for (const auto& e : fs::directory_iterator(disk))
            files[e.path().filename().string()] = testwave::readBytes(e.path().string());
        return files;
    }

    void runAll(bool fullDisk)
    {
        const Writer writers[] = {
            {"track save", [](const char*) { return SaveEdits(); }, 0},
            {"switch, no copy anywhere", [](const char*) { return SetCurTrack(1, 1); }, 0},
            {"CopyTo", [](const char* c) { return CopyTo(500, 3500, c); }, 3000},
            {"CutTo", [](const char* c) { return CutTo(500, 3500, c); }, 3000},
            {"SaveAsWave", [](const char* c) { return SaveAsWave(0, kTrackFrames, c); },
             kTrackFrames},
        };
        for (const bool targetExists : {false, true}) // a previous "clip.wav" is in the folder
            for (const Writer& w : writers)
            {
                SCOPED_TRACE(std::string(w.what) + (targetExists ? " over a file" : ""));
                for (const auto& e : fs::directory_iterator(disk))
                    fs::remove(e.path());
                if (targetExists)
                    testwave::writeStereo(at("clip.wav"),
                                          std::vector<int16_t>(2 * kTrackFrames, -5));
                openTracks(
                    kTrackFrames,
                    {testwave::ramp(kTrackFrames, 2), std::vector<int16_t>(2 * kTrackFrames, 77)},
                    {{255, 128}, {255, 128}});
                ASSERT_EQ(SetCurTrack(0, 1), 0);
                ASSERT_EQ(TrackWrite(0, kEdit), 0);
                const auto track = trackSamples(kTrackFrames);

                rlimit oldLimit{};
                ::getrlimit(RLIMIT_FSIZE, &oldLimit);
                if (fullDisk)
                {
                    std::FILE* f = std::fopen(at("filler").c_str(), "wb");
                    const std::vector<char> block(4096, 'f');
                    while (std::fwrite(block.data(), 1, block.size(), f) == block.size() &&
                           std::fflush(f) == 0)
                    {
                    }
                    std::fclose(f);
                }
                else
                {
                    rlimit small = oldLimit;
                    small.rlim_cur = 8192; // below every file written here
                    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
                }
                const auto before = folder();
                const int32_t failed = w.write(at("clip.wav").c_str());
                ::setrlimit(RLIMIT_FSIZE, &oldLimit);
                EXPECT_EQ(failed, -1);
                EXPECT_EQ(folder(), before);
                EXPECT_EQ(trackSamples(kTrackFrames), track);

                fs::remove(at("filler"));
                EXPECT_EQ(w.write(at("clip.wav").c_str()), 0);
                const int32_t clip = w.clipFrames ? w.clipFrames : targetExists ? kTrackFrames : 0;
                EXPECT_EQ(testwave::readSamples(at("clip.wav")).size(), 2 * size_t(clip));
                // The edit stayed pending through the failure (the switch has written it by now).
                EXPECT_EQ(SaveEdits(), 0);
                EXPECT_EQ(testwave::readSamples(at("t0.wav"))[0], kEdit);
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
