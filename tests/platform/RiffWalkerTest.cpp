// The chunk walk of RIFF files: sizes past the end, signed sizes, a head held in memory.
#include "platform/files/RiffWalker.h"
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

TEST(RiffWalker, FindsEachChunkAndStopsAtTheEndOfTheFile)
{
    const Bytes data = chunk("data", 4, "1234");
    // (what, the file, the chunks of an unsigned walk, of a signed walk when they differ)
    const std::tuple<const char*, Bytes, Seen, Seen> rows[] = {
        {"even sizes", file({chunk("fmt ", 2, "xy"), data}), {"fmt  2 20 2", "data 4 30 4"}, {}},
        // (Pad bytes present, left out or read as an id: the wave loader's rows, WaveFileTest.cpp.)
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
