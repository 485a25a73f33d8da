// Whole-file writes for the cabinet tools: beside the target, then renamed over it.
#pragma once

#include <cstddef>
#include <string>

namespace vumo::cab
{

// Writes size bytes to path + ".vumo-part", checks every write, the flush and the close, and
// only then renames the part over path; on any failure the part is removed and an older file
// at path stays whole. Returns an empty text, or why the file could not be written.
std::string writeFileBeside(const std::string& path, const void* data, size_t size);

} // namespace vumo::cab
