// RiffWalker: the one walk over the chunks of a RIFF file (a wave file: "RIFF", its size and
// "WAVE", then chunks of a 4-byte id, a 32-bit little-endian size and a body), over an open file
// or over bytes in memory. Every reader of wave files walks with it and keeps only its own rules
// for what it finds.
//
// A chunk's body is followed by a pad byte when its size is odd, unless the file's writer left
// the pad out (platform::padBytes tells the two apart). A chunk whose size runs past the end of
// the file is still given, with the bytes the file holds of it; the walk ends after it.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <span>

namespace platform
{

struct RiffChunk
{
    std::array<char, 4> id{};
    uint32_t size = 0;        // as its header declares it
    uint64_t offset = 0;      // of the body, from the start of the file
    uint64_t bytesInFile = 0; // of the body that the file holds: the size cut at the file's end

    // Whether the id is `name` (four characters).
    bool is(const char* name) const { return std::memcmp(id.data(), name, 4) == 0; }
};

// How a walk takes chunk sizes. Signed: a size with the top bit set counts as none, so the walk
// goes on at that chunk's body; the wave loader has always read sizes that way.
enum class RiffSizes
{
    Unsigned,
    Signed
};

class RiffWalker
{
public:
    // Walks the chunks of f, an open file of fileSize bytes, from f's position. `inside`: the
    // chunk whose header the caller has read itself and whose body f is in; the walk goes on
    // after it.
    RiffWalker(std::FILE* f, uint64_t fileSize, RiffSizes sizes = RiffSizes::Unsigned,
               std::optional<RiffChunk> inside = std::nullopt);
    // Walks the chunks held in bytes, the first bytes.size() bytes of a file of fileSize bytes,
    // from the chunk header at `start`.
    RiffWalker(std::span<const uint8_t> bytes, uint64_t fileSize, uint64_t start);

    // The next chunk, or none at the end of the file (less than a header left), at the end of
    // the bytes held, or when the file cannot be read. Over a file, f is left at the chunk's
    // body. The chunk after a body the caller read part of starts after that body and its pad
    // byte, or after what the caller read when that is further (the loader reads a format
    // chunk as 16 bytes whatever size it declares).
    std::optional<RiffChunk> next();

private:
    uint64_t endOf(const RiffChunk& chunk);
    size_t readAt(uint64_t offset, uint8_t* into, size_t count);

    std::FILE* m_file = nullptr;
    std::span<const uint8_t> m_bytes;
    uint64_t m_fileSize = 0;
    RiffSizes m_sizes = RiffSizes::Unsigned;
    uint64_t m_pos = 0;                 // where the next header is, unless a chunk is current
    std::optional<RiffChunk> m_current; // the chunk given last
};

// Reads the 12-byte head of a wave file ("RIFF", a size, "WAVE") at f's position.
bool readRiffWaveHead(std::FILE* f);

} // namespace platform
