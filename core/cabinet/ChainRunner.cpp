// The cabinet chain runner.
#include "ChainRunner.h"

#include "Cabinet.h"
#include "CabinetOpen.h"
#include "shorten/Shorten.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

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

class Runner
{
public:
    Runner(const std::string& folder, const ChainEvents& events)
        : m_folder(folder), m_events(events)
    {
    }

    std::string run(const std::string& file);

private:
    std::string runCreate(const std::vector<ChainStep>& steps);
    std::string runOpen(const std::vector<ChainStep>& steps);
    std::string execute(const ChainStep& step, const Directive& directive);
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
    std::vector<std::string> m_made; // compressed files this chain wrote
};

bool opensCabinet(const ChainStep& step)
{
    return step.kind == ChainStep::Extract || step.kind == ChainStep::Rename ||
           step.kind == ChainStep::Restore;
}

std::string Runner::run(const std::string& file)
{
    Lines lines;
    std::vector<ChainStep> steps;
    std::string error;
    if (!readLines(inFolder(file), lines, error) || !parseChain(lines, file, false, steps, error))
        return error;
    m_total = int(steps.size());
    error =
        std::any_of(steps.begin(), steps.end(), opensCabinet) ? runOpen(steps) : runCreate(steps);
    if (error.empty())
        progress({});
    return error;
}

// A chain that makes a cabinet: its directive file is read before the first step, and a failure
// removes the compressed files it wrote.
std::string Runner::runCreate(const std::vector<ChainStep>& steps)
{
    Directive directive;
    std::string error;
    if (std::any_of(steps.begin(), steps.end(),
                    [](const ChainStep& s) { return s.kind == ChainStep::MakeCabinet; }) &&
        !readDirective(inFolder(kDirectiveFile), directive, error))
        return error + ". Nothing was changed.";
    for (const ChainStep& step : steps)
    {
        error = execute(step, directive);
        if (!error.empty())
            break;
        ++m_done;
    }
    std::error_code ec;
    for (const std::string& made : m_made)
        if (!error.empty())
            fs::remove(inFolder(made), ec);
    return error;
}

// A chain that opens a cabinet: "extract /y CABINET *.*", an optional "REN", "unshortn.bat",
// in this order and nothing else.
std::string Runner::runOpen(const std::vector<ChainStep>& steps)
{
    const bool renames = steps.size() == 3 && steps[1].kind == ChainStep::Rename;
    if (steps.size() != (renames ? 3u : 2u) || steps.front().kind != ChainStep::Extract ||
        steps.back().kind != ChainStep::Restore)
        return "The cabinet chain opens a cabinet only as \"extract\", \"REN\" and \"" +
               std::string(kRestoreFile) + "\" in this order. Nothing was changed.";
    CabinetOpen open(m_folder, m_events,
                     [this](const std::string& file)
                     {
                         progress(file);
                         ++m_done;
                     });
    progress(steps.front().first);
    std::string error = open.unpack(inFolder(steps.front().first));
    m_total += open.restoreSteps();
    ++m_done;
    if (error.empty() && renames)
    {
        progress(steps[1].first);
        open.rename(steps[1].first, steps[1].second);
        ++m_done;
    }
    if (error.empty())
        error = open.restore();
    ++m_done;
    std::error_code ec;
    if (!error.empty()) // the completion marker goes with the rest
        fs::remove(fs::path(m_folder) / kDirectiveFile, ec);
    return error;
}

std::string Runner::execute(const ChainStep& step, const Directive& directive)
{
    progress(step.kind == ChainStep::Echo ? std::string() : step.first);
    std::string error;
    std::error_code ec;
    switch (step.kind)
    {
    case ChainStep::Compress:
        m_made.push_back(step.second);
        shortenEncodeFile(inFolder(step.first), inFolder(step.second), error);
        break;
    case ChainStep::MakeCabinet:
        error = makeCabinet(directive, m_folder);
        break;
    case ChainStep::Delete:
        fs::remove(inFolder(step.first), ec); // a missing file is no failure, as with "del"
        break;
    case ChainStep::Echo:
        if (m_events.echo)
            m_events.echo(step.first);
        break;
    default: // restoring belongs to opening a cabinet
        error = "The cabinet chain refuses the line \"" + step.line +
                "\" outside the opening of a cabinet. Nothing was changed.";
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
        const bool known = !hasControlCharacter(line) && parseLine(line, step);
        const bool allowed = !restoreOnly || step.kind == ChainStep::Expand ||
                             step.kind == ChainStep::Delete || step.kind == ChainStep::Echo;
        // Each compressed track is restored once: a stream restored again would fill the disk.
        const bool again =
            step.kind == ChainStep::Expand &&
            std::any_of(parsed.begin(), parsed.end(),
                        [&](const ChainStep& s)
                        { return s.kind == ChainStep::Expand && s.first == step.first; });
        if (!known || !allowed || again)
        {
            error = "The cabinet chain refuses the line \"" + printable(line) + "\" in " +
                    fileName +
                    (again ? ": it restores " + step.first + " a second time."
                           : ": it is not one of the commands Vumo writes.") +
                    " Nothing was changed.";
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
