// Opening files from elsewhere: only regular files within the reader's limit, at once.
#include "platform/files/RegularFile.h"
#include "tests/SpecialFiles.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

namespace
{

using platform::OpenRefusal;

TEST(RegularFile, OnlyRegularFilesWithinTheLimitOpenAndSpecialFilesAreRefusedAtOnce)
{
    testwave::TempDir dir;
    testwave::writeBytes(dir.file("small"), {1, 2, 3});
    std::filesystem::create_symlink(dir.file("small"), dir.file("link"));
    std::vector<std::pair<std::string, OpenRefusal>> rows = {
        {dir.file("small"), OpenRefusal::None},
        {dir.file("link"), OpenRefusal::None},
        {dir.file("missing"), OpenRefusal::CannotOpen}};
    const auto special = specialfiles::make(dir.path() / "special"); // the 4 GiB file has no blocks
    for (const auto& [what, path] : special)
        rows.emplace_back(path, what == "a 4 GiB sparse file" ? OpenRefusal::TooLarge
                                                              : OpenRefusal::NotRegular);
    for (const auto& [path, refusal] : rows)
    {
        const specialfiles::HangGuard guard(path);
        const platform::OpenedFile opened = platform::openRegularFile(path.c_str(), 1 << 20);
        EXPECT_EQ(opened.refusal, refusal) << path;
        EXPECT_EQ(opened.file != nullptr, refusal == OpenRefusal::None) << path;
    }
    std::vector<uint8_t> bytes;
    EXPECT_EQ(platform::readRegularFile(dir.file("small").c_str(), 3, bytes), "");
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(platform::readRegularFile(dir.file("small").c_str(), 2, bytes),
              "cannot read " + dir.file("small") + ": it is larger than 2 bytes");
    EXPECT_NE(
        platform::readRegularFile(special[0].second.c_str(), 2, bytes).find("not a regular file"),
        std::string::npos);
}

} // namespace
