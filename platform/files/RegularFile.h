// Opening files from elsewhere for reading: only regular files of a size the reader can take.
// A FIFO, a terminal, a device, a folder or a file larger than the reader's limit is refused at
// once, without blocking and without reading a byte of it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace platform
{

struct FileCloser
{
    void operator()(std::FILE* f) const;
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

enum class OpenRefusal
{
    None,
    CannotOpen, // missing, no permission, ...
    NotRegular, // a FIFO, a device, a folder, a socket
    TooLarge,   // larger than the reader's limit
};

struct OpenedFile
{
    FilePtr file; // open "rb" when refusal is None
    uint64_t size = 0;
    OpenRefusal refusal = OpenRefusal::CannotOpen;
    int osError = 0; // errno of a failed open
};

// Opens path read-only without blocking on a FIFO or device, and keeps it only when it is a
// regular file of at most maxBytes bytes (following links). The file returned blocks again as
// usual. A path naming anything else is refused before any byte is read.
OpenedFile openRegularFile(const char* path, uint64_t maxBytes);

// The reason of a refusal, for a message: "it is not a regular file (a device, a pipe or a
// folder)", "it is larger than 123 bytes", or the system's reason for a failed open.
std::string refusalText(const OpenedFile& opened, uint64_t maxBytes);

// Reads a whole regular file of at most maxBytes bytes. Returns an empty text, or
// "cannot read PATH: REASON".
std::string readRegularFile(const char* path, uint64_t maxBytes, std::vector<uint8_t>& bytes);

} // namespace platform
