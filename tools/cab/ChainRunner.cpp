// The cabinet chain runner.
#include "ChainRunner.h"

#include "Cabinet.h"
#include "Shorten.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

namespace vumo::cab
{
namespace
{

namespace fs = std::filesystem;

bool startsWithNoCase(const std::string& s, const std::string& prefix)
{
    return s.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), s.begin(),
                      [](char a, char b)
                      { return std::tolower(uint8_t(a)) == std::tolower(uint8_t(b)); });
}

bool endsWithNoCase(const std::string& s, const std::string& suffix)
{
    return s.size() > suffix.size() && startsWithNoCase(s.substr(s.size() - suffix.size()), suffix);
}

// "t" + track number + ".shn", the only compressed names the chain works with.
bool compressedName(const std::string& name)
{
    if (name.size() < 6 || name[0] != 't' || !endsWithNoCase(name, ".shn"))
        return false;
    const std::string digits = name.substr(1, name.size() - 5);
    return digits.size() <= 2 && std::all_of(digits.begin(), digits.end(),
                                             [](char c) { return std::isdigit(uint8_t(c)); });
}

bool plainName(const std::string& name)
{
    return !name.empty() && name.find_first_of("/\\:") == std::string::npos && name != "..";
}

bool parseLine(const std::string& line, ChainStep& step)
{
    step = {ChainStep::Echo, {}, {}, line};
    if (startsWithNoCase(line, "shortn32.exe -x "))
    {
        const std::string rest = line.substr(16);
        const size_t space = rest.find(' ');
        if (space == std::string::npos)
            return false;
        step = {ChainStep::Expand, rest.substr(0, space), rest.substr(space + 1), line};
        return compressedName(step.first) && endsWithNoCase(step.second, ".wav");
    }
    if (startsWithNoCase(line, "shortn32.exe "))
    {
        const std::string rest = line.substr(13);
        const size_t space = rest.rfind(' ');
        if (space == std::string::npos || space == 0)
            return false;
        step = {ChainStep::Compress, rest.substr(0, space), rest.substr(space + 1), line};
        return compressedName(step.second);
    }
    if (startsWithNoCase(line, "MakeCAB.EXE /F ") && line.substr(15) == kDirectiveFile)
    {
        step.kind = ChainStep::MakeCabinet;
        return true;
    }
    if (startsWithNoCase(line, "extract /y ") && endsWithNoCase(line, " *.*"))
    {
        step = {ChainStep::Extract, line.substr(11, line.size() - 15), {}, line};
        return endsWithNoCase(step.first, ".cab");
    }
    if (startsWithNoCase(line, "del "))
    {
        step = {ChainStep::Delete, line.substr(4), {}, line};
        return compressedName(step.first) || step.first == kDirectiveFile;
    }
    if (startsWithNoCase(line, "REN "))
    {
        const std::string rest = line.substr(4);
        const size_t split = rest.find(".vum ");
        if (split == std::string::npos)
            return false;
        step = {ChainStep::Rename, rest.substr(0, split + 4), rest.substr(split + 5), line};
        return plainName(step.first) && plainName(step.second) &&
               endsWithNoCase(step.second, ".vum");
    }
    if (startsWithNoCase(line, "echo "))
    {
        step.first = line.substr(5);
        return true;
    }
    if (line == kRestoreFile)
    {
        step.kind = ChainStep::Restore;
        return true;
    }
    return false;
}

// The stored track path's file name beside the project file in the application folder.
std::string besideProject(const std::string& stored, const std::string& folder)
{
    const size_t slash = stored.find_last_of("\\/");
    return (fs::path(folder) / stored.substr(slash == std::string::npos ? 0 : slash + 1)).string();
}

// Where a stored track path is restored on this machine: the path itself when its folder
// exists here, else beside the project file.
std::string localTarget(const std::string& stored, const std::string& folder)
{
    const bool foreign = stored.find('\\') != std::string::npos; // a Windows path
    std::error_code ec;
    const fs::path path(stored);
    if (!foreign && path.is_absolute() && fs::is_directory(path.parent_path(), ec))
        return stored;
    return besideProject(stored, folder);
}

// A free name beside `path`: "name-2.wav", "name-3.wav", ... when path exists.
std::string freeName(const std::string& path)
{
    std::error_code ec;
    if (!fs::exists(path, ec))
        return path;
    const fs::path p(path);
    for (int n = 2;; ++n)
    {
        fs::path candidate = p.parent_path() /
                             (p.stem().string() + "-" + std::to_string(n) + p.extension().string());
        if (!fs::exists(candidate, ec))
            return candidate.string();
    }
}

class Runner
{
public:
    Runner(const std::string& folder, const ChainEvents& events)
        : m_folder(folder), m_events(events)
    {
    }

    std::string run(const std::string& file);

private:
    std::string load(const std::string& file, bool restoreOnly, std::vector<ChainStep>& steps);
    std::string execute(const ChainStep& step);
    std::string extract(const std::string& cabinet);
    void decideTargets(const std::vector<ChainStep>& restore);
    std::string inFolder(const std::string& name) const
    {
        return fs::path(name).is_absolute() ? name : (fs::path(m_folder) / name).string();
    }
    void progress(const std::string& file)
    {
        if (m_events.progress)
            m_events.progress(m_done, m_total, file);
    }

    std::string m_folder;
    const ChainEvents& m_events;
    int m_done = 0;
    int m_total = 0;
    std::vector<ChainStep> m_restore; // the restore chain, checked before the cabinet unpacks
    bool m_restoreLoaded = false;
    std::vector<std::pair<std::string, std::string>> m_targets; // stored path, where it goes
};

std::string Runner::load(const std::string& file, bool restoreOnly, std::vector<ChainStep>& steps)
{
    Lines lines;
    if (!readLines(inFolder(file), lines))
        return "Cannot read " + file + ".";
    std::string error;
    if (!parseChain(lines, file, restoreOnly, steps, error))
        return error;
    return {};
}

std::string Runner::run(const std::string& file)
{
    std::vector<ChainStep> steps;
    if (std::string error = load(file, false, steps); !error.empty())
        return error;
    m_total = int(steps.size());
    const bool callsRestore =
        std::any_of(steps.begin(), steps.end(),
                    [](const ChainStep& s) { return s.kind == ChainStep::Restore; });
    for (const ChainStep& step : steps)
    {
        if (step.kind == ChainStep::Extract && callsRestore)
        {
            if (std::string error = extract(step.first); !error.empty())
                return error;
        }
        else if (step.kind == ChainStep::Restore)
        {
            if (!m_restoreLoaded)
            {
                if (std::string error = load(kRestoreFile, true, m_restore); !error.empty())
                    return error;
                m_total += int(m_restore.size());
            }
            decideTargets(m_restore);
            for (const ChainStep& inner : m_restore)
            {
                if (std::string error = execute(inner); !error.empty())
                    return error;
                ++m_done;
            }
        }
        else if (std::string error = execute(step); !error.empty())
        {
            return error;
        }
        ++m_done;
    }
    progress({});
    return {};
}

// Unpacks the cabinet into a private folder first, so that its restore chain is checked
// before anything reaches the application folder.
std::string Runner::extract(const std::string& cabinet)
{
    progress(cabinet);
    const fs::path staging = fs::path(m_folder) / ".vumo-unpack";
    std::error_code ec;
    fs::remove_all(staging, ec);
    fs::create_directories(staging, ec);
    struct Cleanup
    {
        fs::path path;
        ~Cleanup()
        {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } cleanup{staging};
    if (std::string error = extractCabinet(cabinet, staging.string()); !error.empty())
        return error;
    Lines lines;
    if (!readLines((staging / kRestoreFile).string(), lines))
        return "Not a valid Vumo CAB: " + cabinet + " holds no " + kRestoreFile + ".";
    std::string error;
    if (!parseChain(lines, kRestoreFile, true, m_restore, error))
        return error;
    m_restoreLoaded = true;
    m_total += int(m_restore.size());
    std::vector<fs::path> unpacked;
    for (const auto& entry : fs::directory_iterator(staging, ec))
        unpacked.push_back(entry.path().filename());
    for (const fs::path& name : unpacked)
    {
        fs::rename(staging / name, fs::path(m_folder) / name, ec);
        if (ec)
            return "Cannot write " + name.string() + ": " + ec.message();
    }
    return {};
}

void Runner::decideTargets(const std::vector<ChainStep>& restore)
{
    m_targets.clear();
    std::vector<std::string> existing;
    std::error_code ec;
    for (const ChainStep& step : restore)
        if (step.kind == ChainStep::Expand)
        {
            const std::string target = localTarget(step.second, m_folder);
            m_targets.emplace_back(step.second, target);
            if (target == step.second && fs::exists(target, ec))
                existing.push_back(target);
        }
    const bool replace =
        existing.empty() || (m_events.replaceExisting && m_events.replaceExisting(existing));
    for (auto& [stored, target] : m_targets)
    {
        if (!replace && target == stored && fs::exists(target, ec))
            target = besideProject(stored, m_folder);
        if (target != stored)
        {
            target = freeName(target);
            if (m_events.relocated)
                m_events.relocated(stored, target);
        }
    }
}

std::string Runner::execute(const ChainStep& step)
{
    progress(step.kind == ChainStep::Echo ? std::string() : step.first);
    std::string error;
    std::error_code ec;
    switch (step.kind)
    {
    case ChainStep::Compress:
        shortenEncodeFile(inFolder(step.first), inFolder(step.second), error);
        break;
    case ChainStep::Expand:
    {
        std::string target = step.second;
        for (const auto& [stored, local] : m_targets)
            if (stored == step.second)
                target = local;
        shortenDecodeFile(inFolder(step.first), target, error);
        break;
    }
    case ChainStep::MakeCabinet:
    {
        Directive directive;
        if (readDirective(inFolder(kDirectiveFile), directive, error))
            error = makeCabinet(directive, m_folder);
        break;
    }
    case ChainStep::Extract:
        error = extractCabinet(step.first, m_folder);
        break;
    case ChainStep::Delete:
        fs::remove(inFolder(step.first), ec); // a missing file is no failure, as with "del"
        break;
    case ChainStep::Rename:
        // As "REN" does: nothing when the file is missing or the new name is taken.
        if (fs::exists(inFolder(step.first), ec) && !fs::exists(inFolder(step.second), ec))
            fs::rename(inFolder(step.first), inFolder(step.second), ec);
        break;
    case ChainStep::Echo:
        if (m_events.echo)
            m_events.echo(step.first);
        break;
    case ChainStep::Restore:
        break;
    }
    return error;
}

} // namespace

bool parseChain(const Lines& lines, const std::string& fileName, bool restoreOnly,
                std::vector<ChainStep>& steps, std::string& error)
{
    std::vector<ChainStep> parsed;
    for (const std::string& line : lines)
    {
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        ChainStep step;
        // A NUL would end the name the file system sees before its ".wav" ("/etc/x\0.wav"), and
        // no command Vumo writes holds another control character.
        const bool plainText = std::none_of(line.begin(), line.end(),
                                            [](char c) { return uint8_t(c) < 0x20 && c != '\t'; });
        const bool known = plainText && parseLine(line, step);
        const bool allowed = !restoreOnly || step.kind == ChainStep::Expand ||
                             step.kind == ChainStep::Delete || step.kind == ChainStep::Echo;
        if (!known || !allowed)
        {
            error = "The cabinet chain refuses the line \"" + line + "\" in " + fileName +
                    ": it is not one of the commands Vumo writes. Nothing was changed.";
            return false;
        }
        parsed.push_back(step);
    }
    steps = std::move(parsed);
    return true;
}

std::string runChain(const std::string& folder, const std::string& file, const ChainEvents& events)
{
    Runner runner(folder, events);
    return runner.run(file);
}

} // namespace vumo::cab
