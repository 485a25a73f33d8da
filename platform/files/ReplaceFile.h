// Puts a finished file in the place of another: the last step of writing beside and renaming.
#pragma once

#include <string>

namespace platform
{

// Renames the file `from` to `to`, replacing a file `to` that exists, in one step: whoever
// opens `to` finds either the old file or the new one, never a part. Returns 0, or the system's
// error number when the rename failed (`from` then stays as it was). On Windows the paths are
// texts of the system's code page, as the engine's file names are; the rename is MoveFileExW
// with MOVEFILE_REPLACE_EXISTING.
int replaceFile(const std::string& from, const std::string& to);

} // namespace platform
