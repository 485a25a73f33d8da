// Opening files from elsewhere: only regular files within the reader's limit, at once.
#include "platform/files/RegularFile.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

using platform::OpenRefusal;

TEST(RegularFile, OnlyRegularFilesWithinTheLimitOpenAndSpecialFilesAreRefusedAtOnce)
{
    testwave::TempDir dir;
    testwave::writeBytes(dir.file("small"), {1, 2, 3});
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    ::close(::open(dir.file("sparse").c_str(), O_CREAT | O_WRONLY, 0600));
    std::filesystem::resize_file(dir.file("sparse"), uint64_t(4) << 30); // 4 GiB, no blocks
    std::filesystem::create_symlink(dir.file("small"), dir.file("link"));
    const struct
    {
        std::string path;
        OpenRefusal refusal;
    } rows[] = {
        {dir.file("small"), OpenRefusal::None},         {dir.file("link"), OpenRefusal::None},
        {dir.file("missing"), OpenRefusal::CannotOpen}, {dir.file("fifo"), OpenRefusal::NotRegular},
        {"/dev/zero", OpenRefusal::NotRegular},         {"/dev/ptmx", OpenRefusal::NotRegular},
        {dir.path().string(), OpenRefusal::NotRegular}, {dir.file("sparse"), OpenRefusal::TooLarge},
    };
    for (const auto& row : rows)
    {
        const auto start = std::chrono::steady_clock::now();
        const platform::OpenedFile opened = platform::openRegularFile(row.path.c_str(), 1 << 20);
        EXPECT_EQ(opened.refusal, row.refusal) << row.path;
        EXPECT_EQ(opened.file != nullptr, row.refusal == OpenRefusal::None) << row.path;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << row.path;
    }
    std::vector<uint8_t> bytes;
    EXPECT_EQ(platform::readRegularFile(dir.file("small").c_str(), 3, bytes), "");
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(platform::readRegularFile(dir.file("small").c_str(), 2, bytes),
              "cannot read " + dir.file("small") + ": it is larger than 2 bytes");
    EXPECT_NE(
        platform::readRegularFile(dir.file("fifo").c_str(), 2, bytes).find("not a regular file"),
        std::string::npos);
}

} // namespace
