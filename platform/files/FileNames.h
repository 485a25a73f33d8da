// File names as the engine and the tools take them, and the file system's paths for them.
//
// A file name is an 8-bit text: on Windows a text of the system's code page (the "ANSI" code
// page, as the C runtime's fopen reads it), elsewhere the bytes the file system stores. The
// standard library's paths convert 8-bit texts differently on Windows (not by the code page),
// so every path made from a file name, and every file name made from a path, goes through here.
#pragma once

#include <filesystem>
#include <string>

namespace platform
{

// The path of the file a name names: the file that fopen(name) opens.
std::filesystem::path pathOf(const std::string& name);
// The name of a path, as fopen takes it; empty when the code page cannot write it.
std::string nameOf(const std::filesystem::path& path);

// Renames the file `from` to `to`, replacing a file `to` that exists, in one step: whoever
// opens `to` finds either the old file or the new one, never a part. Returns 0, or the system's
// error number when the rename failed (`from` then stays as it was). On Windows the rename is
// MoveFileExW with MOVEFILE_REPLACE_EXISTING.
int replaceFile(const std::string& from, const std::string& to);

} // namespace platform
