// Working folders named after the process that made them ("<prefix><pid>-..."), removed once
// that process has ended without removing them itself (killed, crashed).
#pragma once

#include <string>

namespace vumo::files
{

// Removes every folder directly in parent whose name starts with prefix followed by the id of
// a process that no longer runs. Folders of running processes, links and files stay.
void removeFoldersOfEndedRuns(const std::string& parent, const std::string& prefix);

} // namespace vumo::files
