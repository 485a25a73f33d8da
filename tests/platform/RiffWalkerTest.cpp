// The chunk walk of RIFF files: pad bytes present, left out or ambiguous, sizes past the end,
// signed sizes, a head held in memory, a body read further than its size.
#include "platform/files/RiffWalker.h"
#include "platform/WaveHeader.h"
#include "platform/files/RegularFile.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform;
using Bytes = std::vector<uint8_t>;

namespace
{

// A chunk header of `id` declaring `size`, then `body` (which may be shorter or longer).
Bytes chunk(const char* id, uint32_t size, const std::string& body)
{
    Bytes b(id, id + 4);
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(size >> (8 * i)));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes file(std::initializer_list<Bytes> chunks)
{
    Bytes b = chunk("RIFF", 0, "WAVE");
    for (const Bytes& c : chunks)
        b.insert(b.end(), c.begin(), c.end());
    return b;
}

// The chunks a walk gives, as "id size offset bytesInFile".
std::vector<std::string> walk(RiffWalker& walker)
{
    std::vector<std::string> seen;
    while (auto c = walker.next())
        seen.push_back(std::string(c->id.data(), 4) + " " + std::to_string(c->size) + " " +
                       std::to_string(c->offset) + " " + std::to_string(c->bytesInFile));
    return seen;
}

using Seen = std::vector<std::string>;

} // namespace

TEST(RiffWalker, FindsEachChunkAfterItsPadByteOrWithoutItAndStopsAtTheEndOfTheFile)
{
    const std::string five = "abcde";
    const Bytes data = chunk("data", 4, "1234");
    // (what, the file, the chunks of an unsigned walk, of a signed walk when they differ)
    const std::tuple<const char*, Bytes, Seen, Seen> rows[] = {
        {"even sizes", file({chunk("fmt ", 2, "xy"), data}), {"fmt  2 20 2", "data 4 30 4"}, {}},
        {"odd size, pad byte",
         file({chunk("LIST", 5, five + '\0'), data}),
         {"LIST 5 20 5", "data 4 34 4"},
         {}},
        {"odd size, no pad byte",
         file({chunk("LIST", 5, five), data}),
         {"LIST 5 20 5", "data 4 33 4"},
         {}},
        {"odd size, pad byte that reads as an id's first letter",
         file({chunk("LIST", 5, five + 'x'), data}),
         {"LIST 5 20 5", "data 4 34 4"},
         {}},
        // Both places hold an id: "data" right after the body wins over "ata@" one further.
        {"odd size, no pad byte, a data size that reads as an id",
         file({chunk("LIST", 5, five), chunk("data", 64, std::string(64, 's'))}),
         {"LIST 5 20 5", "data 64 33 64"},
         {}},
        {"size past the end", file({chunk("LIST", 1000, "ab"), data}), {"LIST 1000 20 14"}, {}},
        {"odd size at the end", file({chunk("LIST", 3, "abc")}), {"LIST 3 20 3"}, {}},
        {"half a header at the end",
         file({data, Bytes{'J', 'U', 'N', 'K', 1}}),
         {"data 4 20 4"},
         {}},
        {"size with the top bit set",
         file({chunk("JUNK", 0xFFFFFFF8u, ""), data}),
         {"JUNK 4294967288 20 12"},
         {"JUNK 4294967288 20 12", "data 4 28 4"}},
    };
    testwave::TempDir dir;
    for (const auto& [what, bytes, unsignedWalk, signedWalk] : rows)
    {
        SCOPED_TRACE(what);
        RiffWalker inMemory(bytes, bytes.size(), 12);
        EXPECT_EQ(walk(inMemory), unsignedWalk);
        testwave::writeBytes(dir.file("w.wav"), bytes);
        for (const RiffSizes sizes : {RiffSizes::Unsigned, RiffSizes::Signed})
        {
            const OpenedFile f = openRegularFile(dir.file("w.wav").c_str(), 1 << 20);
            ASSERT_TRUE(readRiffWaveHead(f.file.get()));
            RiffWalker onFile(f.file.get(), f.size, sizes);
            const bool own = sizes == RiffSizes::Signed && !signedWalk.empty();
            EXPECT_EQ(walk(onFile), own ? signedWalk : unsignedWalk);
        }
    }
    // The head of a file in memory: sizes are cut at the file's end, the walk at the bytes held.
    const Bytes whole = file({chunk("fmt ", 2, "xy"), chunk("data", 400, std::string(400, 's'))});
    RiffWalker head{std::span<const uint8_t>(whole).first(40), whole.size(), 12};
    EXPECT_EQ(walk(head), (Seen{"fmt  2 20 2", "data 400 30 400"}));
    RiffWalker cut{std::span<const uint8_t>(whole).first(25), 300, 12};
    EXPECT_EQ(walk(cut), (Seen{"fmt  2 20 2"}));
}

TEST(RiffWalker, GoesOnAfterAChunkTheCallerReadItselfOrAfterWhatItReadWhenThatIsFurther)
{
    // A 14-byte format chunk read as 16 bytes, then an odd one read as 3 of its 17 bytes.
    const Bytes bytes = file({chunk("fmt ", 14, std::string(16, 'f')), chunk("data", 2, "12")});
    const Bytes odd =
        file({chunk("fmt ", 17, std::string(17, 'f') + '\0'), chunk("data", 2, "12")});
    testwave::TempDir dir;
    for (const auto& [b, read, seen] :
         {std::tuple{bytes, 16, Seen{"data 2 44 2"}}, {odd, 3, Seen{"data 2 46 2"}}})
    {
        testwave::writeBytes(dir.file("f.wav"), b);
        const OpenedFile f = openRegularFile(dir.file("f.wav").c_str(), 1 << 20);
        uint8_t head[20 + 16];
        ASSERT_EQ(std::fread(head, 1, size_t(20 + read), f.file.get()), size_t(20 + read));
        RiffChunk fmt;
        fmt.size = readLe32(head + 16), fmt.offset = 20;
        RiffWalker walker(f.file.get(), f.size, RiffSizes::Signed, fmt);
        EXPECT_EQ(walk(walker), seen);
    }
}
