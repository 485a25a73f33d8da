// The safe writer: what the folder holds after each kind of target and fault (stale parts,
// links, read-only files, FIFOs, a file size limit), and writes over what was written.
#include "platform/files/SafeWriter.h"
#include "tests/SpecialFiles.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>
#include <sys/resource.h>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;
using Folder = std::map<std::string, std::string>;

namespace
{

// Each entry of the folder: "old 640" (text and mode), "-> target", "<folder>" or "<fifo>".
Folder contents(const fs::path& folder)
{
    Folder seen;
    for (const auto& e : fs::directory_iterator(folder))
    {
        const std::string name = e.path().filename().string();
        const fs::file_status s = fs::symlink_status(e.path());
        if (fs::is_symlink(s))
            seen[name] = "-> " + fs::read_symlink(e.path()).filename().string();
        else if (fs::is_directory(s))
            seen[name] = "<folder>";
        else if (fs::is_fifo(s))
            seen[name] = "<fifo>";
        else
        {
            const auto bytes = testwave::readBytes(e.path().string());
            char mode[8];
            std::snprintf(mode, sizeof mode, " %o", unsigned(s.permissions()) & 0777u);
            seen[name] = std::string(bytes.begin(), bytes.end()) + mode;
        }
    }
    return seen;
}

// Lays out the folder as `entries` says (files with mode 666 unless given).
void lay(const fs::path& folder, const Folder& entries)
{
    for (const auto& [name, what] : entries)
    {
        const fs::path p = folder / name;
        if (what.starts_with("-> "))
            fs::create_symlink(folder / what.substr(3), p);
        else if (what == "<folder>")
            fs::create_directory(p);
        else if (what == "<fifo>")
            ::mkfifo(p.c_str(), 0666);
        else
        {
            const size_t blank = what.find(' ');
            testwave::writeBytes(p.string(), {what.begin(), what.begin() + std::ptrdiff_t(blank)});
            fs::permissions(p, fs::perms(std::stoi(what.substr(blank + 1), nullptr, 8)));
        }
    }
}

enum class Fault
{
    None,
    Nobody,   // written by an unprivileged user, to whom read-only files are read-only
    SizeLimit // no file grows past 2 bytes (SIGXFSZ ignored: the write fails with EFBIG)
};

WriteStep writeNew(const std::string& target, SafeWriteOptions options, Fault fault,
                   std::string& why)
{
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{2, old.rlim_max};
    if (fault == Fault::SizeLimit)
        ::setrlimit(RLIMIT_FSIZE, &small);
    const bool nobody = fault == Fault::Nobody && ::geteuid() == 0 && ::seteuid(65534) == 0;
    SafeWriter writer(target, options);
    const bool written = writer.open() && writer.write("new", 3) && writer.commit();
    const bool back = !nobody || ::seteuid(0) == 0;
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    why = writer.errorText();
    EXPECT_TRUE(back);
    EXPECT_EQ(written, writer.failedStep() == WriteStep::None);
    return writer.failedStep();
}

} // namespace

TEST(SafeWriter, ReplacesTheFileWholeThroughLinksNeverThroughAPartAndLeavesItOnAnyFailure)
{
    using enum WriteStep;
    const Fault none = Fault::None, nobody = Fault::Nobody, limit = Fault::SizeLimit;
    // (what, the folder before and after, the failing step and why, fault, target, options)
    struct Row
    {
        const char* what;
        Folder before, after;
        WriteStep step = None;
        const char* why = "";
        Fault fault = Fault::None;
        const char* target = "t";
        SafeWriteOptions options = {};
    };
    const Folder small{{"t", "o 666"}}, link{{"r", "old 666"}, {"t", "-> r"}};
    const Row rows[] = {
        {"new file", {}, {{"t", "new 644"}}},
        {"over a file, its mode kept", {{"t", "old 640"}}, {{"t", "new 640"}}},
        {"a stale part", {{"t", "old 666"}, {"t.vumo-part", "stale 666"}}, {{"t", "new 666"}}},
        {"a link as the part",
         {{"m", "m 666"}, {"t.vumo-part", "-> m"}},
         {{"m", "m 666"}, {"t", "new 644"}}},
        {"a folder as the part",
         {{"t", "old 666"}, {"t.vumo-part", "<folder>"}},
         {{"t", "old 666"}, {"t.vumo-part", "<folder>"}},
         Create,
         "File exists"},
        {"a link", link, {{"r", "new 666"}, {"t", "-> r"}}},
        {"a link to no file yet", {{"t", "-> later"}}, {{"later", "new 644"}, {"t", "-> later"}}},
        {"a link, not followed",
         link,
         {{"r", "old 666"}, {"t", "new 644"}},
         None,
         "",
         none,
         "t",
         {.followLinks = false}},
        {"read-only", {{"t", "old 444"}}, {{"t", "old 444"}}, ReadOnly, "it is read-only", nobody},
        {"read-only, replaced",
         {{"t", "old 444"}},
         {{"t", "new 444"}},
         None,
         "",
         nobody,
         "t",
         {.refuseReadOnly = false}},
        {"a FIFO nobody reads",
         {{"t", "<fifo>"}},
         {{"t", "<fifo>"}},
         Create,
         "No such device or address"},
        {"no such folder", {}, {}, Create, "No such file or directory", none, "none/t"},
        {"a file size limit", small, small, Write, "File too large", limit},
    };
    const mode_t oldMask = ::umask(022); // new files are 644
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.what);
        testwave::TempDir dir;
        fs::permissions(dir.path(), fs::perms::all);
        lay(dir.path(), row.before);
        const specialfiles::HangGuard guard(row.what, std::chrono::seconds(10));
        std::string why;
        EXPECT_EQ(writeNew(dir.file(row.target), row.options, row.fault, why), row.step);
        EXPECT_EQ(why, row.why);
        EXPECT_EQ(contents(dir.path()), row.after);
    }
    ::umask(oldMask);
    // A device is written in place, never replaced.
    EXPECT_EQ(writeFileSafely("/dev/null", "new", 3), "");
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST(SafeWriter, WritesOverWhatWasWrittenAndAppendsAfterTheFurthestByte)
{
    testwave::TempDir dir;
    SafeWriter writer(dir.file("t"));
    ASSERT_TRUE(writer.open());
    std::string big(100000, 'b'); // past the writer's buffer
    EXPECT_TRUE(writer.write("abcdef", 6) && writer.writeAt(1, "XY", 2) && writer.write("gh", 2) &&
                writer.writeAt(9, "Z", 1) && writer.write(big.data(), big.size()) &&
                writer.writeAt(0, "A", 1) && writer.commit());
    const auto bytes = testwave::readBytes(dir.file("t"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string("AXYdefgh\0Z", 10) + big);
    EXPECT_FALSE(fs::exists(dir.file("t.vumo-part")));
}
