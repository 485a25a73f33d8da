// The working files of a project cabinet, line by line.
#include "CabinetScript.h"

#include "files/FileWrite.h"
#include "platform/files/RegularFile.h"

#include <algorithm>

namespace vumo::cab
{

std::string compressedName(int k)
{
    std::string name = "t";
    name += std::to_string(k);
    name += ".shn";
    return name;
}

Lines createChainLines(const CabinetProject& project)
{
    Lines lines;
    const int tracks = int(project.trackFiles.size());
    for (int k = 0; k < tracks; ++k)
        lines.push_back("shortn32.exe " + project.trackFiles[size_t(k)] + " " + compressedName(k));
    lines.push_back(std::string("MakeCAB.EXE /F ") + kDirectiveFile);
    for (int k = 0; k < tracks; ++k)
        lines.push_back("del " + compressedName(k));
    lines.push_back("echo finis!");
    return lines;
}

Lines restoreChainLines(const CabinetProject& project)
{
    Lines lines;
    for (int k = 0; k < int(project.trackFiles.size()); ++k)
    {
        lines.push_back("shortn32.exe -x " + compressedName(k) + " " +
                        project.trackFiles[size_t(k)]);
        lines.push_back("del " + compressedName(k));
    }
    lines.push_back(std::string("del ") + kDirectiveFile);
    lines.push_back("echo finis!");
    return lines;
}

// A name in double quotes, as the directive file lists its files.
static std::string quoted(const std::string& name)
{
    std::string line(1, '"');
    line += name;
    line += '"';
    return line;
}

Lines directiveLines(const CabinetProject& project)
{
    Lines lines = {
        ".Set CabinetName1 = " + project.title + ".cab",
        ".Set DiskDirectory1 = " + project.title,
        ".Set MaxDiskSize = 0",
        ".Set Cabinet = on",
        ".Set Compress = off",
        quoted(project.projectFile),
        quoted(kRestoreFile),
    };
    for (int k = 0; k < int(project.trackFiles.size()); ++k)
        lines.push_back(quoted(compressedName(k)));
    return lines;
}

Lines openChainLines(const std::string& cabinetPath, std::string& base)
{
    // "/" separates folders as "\\" does: on this platform's own paths there is no "\\".
    const size_t slash = cabinetPath.find_last_of("\\/");
    const size_t dot = cabinetPath.rfind('.');
    // Positions count from 1 as the name rule has it: a is 0 without a "\".
    const long a = slash == std::string::npos ? 0 : long(slash) + 1;
    const long b = dot == std::string::npos ? 0 : long(dot) + 1;
    const long n = b - a - 1;
    base.clear();
    if (n <= 0)
        return {};
    base = cabinetPath.substr(size_t(a), size_t(n));
    Lines lines = {"extract /y " + cabinetPath + " *.*"};
    if (base.size() > 8)
        lines.push_back("REN " + base.substr(base.size() - 8) + ".vum " + base + ".vum");
    lines.push_back(kRestoreFile);
    return lines;
}

std::string writeLines(const std::string& path, const Lines& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return writeFileBeside(path, text.data(), text.size());
}

bool readLines(const std::string& path, Lines& lines, std::string& error)
{
    std::vector<uint8_t> bytes;
    error = platform::readRegularFile(path.c_str(), kMaxChainFileBytes, bytes);
    if (!error.empty())
        return false;
    lines.clear();
    for (auto begin = bytes.begin(); begin != bytes.end();)
    {
        const auto end = std::find(begin, bytes.end(), uint8_t('\n'));
        std::string line(begin, end);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        begin = end == bytes.end() ? end : end + 1;
    }
    return true;
}

bool hasControlCharacter(const std::string& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return uint8_t(c) < 0x20 || uint8_t(c) == 0x7F; });
}

std::string printable(const std::string& text)
{
    std::string shown = text;
    std::replace_if(
        shown.begin(), shown.end(), [](char c) { return uint8_t(c) < 0x20 || uint8_t(c) == 0x7F; },
        '?');
    return shown;
}

} // namespace vumo::cab
