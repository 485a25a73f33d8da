// The working files of a project cabinet: the command chain "vumocab.bat", the restore chain
// "unshortn.bat" packed into the cabinet, and the directive file "vumo.ddf" (or, while a cabinet
// opens, the completion marker of that name). Texts are single-byte, as the project file holds
// them; lines end in CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vumo::cab
{

inline constexpr const char* kChainFile = "vumocab.bat";
inline constexpr const char* kRestoreFile = "unshortn.bat";
inline constexpr const char* kDirectiveFile = "vumo.ddf";
inline constexpr const char* kMarkerText = "test for completion";

using Lines = std::vector<std::string>;

// What Create Cab needs of the project: its title (trimmed), its file and the track files in
// track order, all as stored.
struct CabinetProject
{
    std::string title;
    std::string projectFile;
    std::vector<std::string> trackFiles;
};

Lines createChainLines(const CabinetProject& project);
Lines restoreChainLines(const CabinetProject& project);
Lines directiveLines(const CabinetProject& project);

// The chain that opens cabinetPath, or an empty list when the path has no name between its
// last "\" and its last "." (the caller reports "Unable to open CAB file!"). base receives that
// name: the project file the chain leaves in the application folder is base + ".vum".
Lines openChainLines(const std::string& cabinetPath, std::string& base);

// Track file names in the application folder: "t" + k + ".shn".
std::string compressedName(int k);

// True when text holds a control character (CR, LF, NUL, a tab, ...): no text of a batch,
// directive or project file may, for a line feed would start a line of its own.
bool hasControlCharacter(const std::string& text);
// The text with each control character shown as "?", for a message.
std::string printable(const std::string& text);

// The largest batch or directive file read: far more than 17 tracks' lines.
inline constexpr uint64_t kMaxChainFileBytes = 1 << 20;

// Writes lines with CR LF endings beside path and renames them over it. Returns an empty text,
// or why the file could not be written.
std::string writeLines(const std::string& path, const Lines& lines);
// Reads a text file's lines (CR LF or LF). Only a regular file of at most kMaxChainFileBytes is
// read: anything else gives the reason in error.
bool readLines(const std::string& path, Lines& lines, std::string& error);

} // namespace vumo::cab
