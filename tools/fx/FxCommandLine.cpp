// The command line of vumo-fx.
#include "FxCommandLine.h"

#include "fx/EffectCatalog.h"

#include <charconv>
#include <sstream>
#include <string_view>
#include <utility>

namespace vumo::fxtool
{

using fx::EffectInfo;

namespace
{

// A whole decimal number, or nothing.
std::optional<int64_t> parseNumber(const std::string& text)
{
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [at, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || at != end)
        return std::nullopt;
    return value;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;)
    {
        const auto at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

// The unit texts in plain ASCII, which every console shows: "x0.50 (-6.0 dB)", "-inf dB".
std::string plainText(std::string text)
{
    const std::pair<const char*, const char*> swaps[] = {
        {"\xC3\x97", "x"}, {"\xE2\x88\x92", "-"}, {"\xE2\x88\x9E", "inf"}};
    for (const auto& [from, to] : swaps)
        for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at))
            text.replace(at, std::string_view(from).size(), to);
    return text;
}

} // namespace

std::optional<EffectStep> parseEffect(const std::string& text, std::string& error)
{
    const std::vector<std::string> parts = split(text, ':');
    if (parts.size() > 4)
    {
        error = "effect '" + text + "' has more than three parameters (CODE:P1:P2:P3)";
        return std::nullopt;
    }
    const auto code = parseNumber(parts[0]);
    // The fade (40) is the studio's own, computed outside the engine: vumo-fx does not run it.
    const EffectInfo* info =
        code && fx::isEngineEffect(int32_t(*code)) ? fx::findEffectInfo(int32_t(*code)) : nullptr;
    if (!info)
    {
        const fx::CodeRange codes = fx::engineCodes();
        error = "unknown effect code '" + parts[0] + "' in '" + text + "' (codes are " +
                std::to_string(codes.first) + " to " + std::to_string(codes.last) + ", see --help)";
        return std::nullopt;
    }
    EffectStep step;
    step.code = info->code;
    for (size_t i = 0; i < 3; ++i)
    {
        if (i + 1 >= parts.size())
        {
            step.p[i] = info->defaults[i];
            continue;
        }
        const auto value = parseNumber(parts[i + 1]);
        if (!value || *value < 0 || *value > 255)
        {
            error = "parameter P" + std::to_string(i + 1) + " of '" + text +
                    "' must be a whole number from 0 to 255";
            return std::nullopt;
        }
        step.p[i] = int32_t(*value);
    }
    return step;
}

ParseResult parseCommandLine(const std::vector<std::string>& args)
{
    ParseResult r;
    std::vector<std::string> positional;
    bool optionsDone = false;
    for (size_t i = 0; i < args.size(); ++i)
    {
        const std::string& a = args[i];
        if (optionsDone || a.empty() || a[0] != '-' || a == "-")
        {
            positional.push_back(a);
            continue;
        }
        if (a == "--")
            optionsDone = true;
        else if (a == "-h" || a == "--help")
            r.options.help = true;
        else if (a == "--crop")
            r.options.crop = true;
        else if (a == "--progress")
            r.options.progress = ProgressMode::Always;
        else if (a == "--no-progress")
            r.options.progress = ProgressMode::Never;
        else if (a == "--from" || a == "--to")
        {
            if (i + 1 >= args.size())
            {
                r.error = a + " needs a frame number";
                return r;
            }
            const auto v = parseNumber(args[++i]);
            if (!v || *v < 0)
            {
                r.error = a + " needs a frame number of 0 or more, not '" + args[i] + "'";
                return r;
            }
            (a == "--from" ? r.options.from : r.options.to) = *v;
        }
        else
        {
            r.error = "unknown option '" + a + "' (see --help)";
            return r;
        }
    }
    if (r.options.help)
        return r;
    if (positional.size() < 3)
    {
        r.error = positional.empty()       ? "no input file, output file or effect given"
                  : positional.size() == 1 ? "no output file or effect given"
                                           : "no effect given";
        r.error += " (usage: vumo-fx [options] INPUT OUTPUT CODE[:P1[:P2[:P3]]]...)";
        return r;
    }
    r.options.input = positional[0];
    r.options.output = positional[1];
    for (size_t i = 2; i < positional.size(); ++i)
    {
        const auto step = parseEffect(positional[i], r.error);
        if (!step)
            return r;
        r.options.chain.push_back(*step);
    }
    if (r.options.from && r.options.to && *r.options.from >= *r.options.to)
        r.error = "--from must be below --to";
    return r;
}

std::string helpText()
{
    std::ostringstream s;
    s << "Usage: vumo-fx [options] INPUT OUTPUT EFFECT [EFFECT...]\n"
         "\n"
         "Applies one effect, or a chain of effects in the order given, to a 16-bit wave\n"
         "file with the Vumo engine and writes the result as a new 16-bit stereo 44100 Hz\n"
         "wave file. INPUT is never changed. A mono input is written as stereo; an input at\n"
         "another rate keeps its samples and is written as 44100 Hz.\n"
         "\n"
         "EFFECT is CODE[:P1[:P2[:P3]]]: an effect code and up to three parameters of 0 to\n"
         "255; a parameter left out takes the effect dialog's default (shown below).\n"
         "Example: vumo-fx in.wav out.wav 3:40:100:128 9:200\n"
         "\n"
         "Options:\n"
         "  --from FRAME   first frame of the range to process (default 0)\n"
         "  --to FRAME     end of the range, exclusive (default: the end of the file)\n"
         "  --crop         write only the range, not the whole file\n"
         "  --progress     always show a progress bar on standard error\n"
         "  --no-progress  never show one (default: on a terminal for long files)\n"
         "  -h, --help     show this text\n"
         "\n"
         "A frame is one stereo sample pair; 44100 frames make one second. Effects that\n"
         "read ahead or keep a window leave a few frames at the edges of the range as they\n"
         "were (band pass: 128 at the start, 128 at the end; pitch: 2048 at each end).\n"
         "\n"
         "Exit status: 0 done, 1 a file could not be read or written, 2 bad arguments.\n"
         "\n"
         "Effect codes (defaults P1, P2, P3 in brackets; in parentheses what a default means\n"
         "in the unit the effect dialog shows):\n";
    for (const EffectInfo& e : fx::effectCatalog())
    {
        if (!fx::isEngineEffect(e.code))
            continue;
        s << "  " << (e.code < 10 ? " " : "") << e.code << "  " << e.name << "  [" << e.defaults[0]
          << ", " << e.defaults[1] << ", " << e.defaults[2] << "]\n";
        for (int i = 0; i < 3; ++i)
        {
            s << "        P" << i + 1 << ": " << e.meanings[i];
            // What the default means in the unit the studio's dialog shows.
            if (const std::string unit = fx::unitText(e.units[i], e.defaults[i]); !unit.empty())
                s << "  (" << e.defaults[i] << " = " << plainText(unit) << ")";
            s << "\n";
        }
    }
    const fx::CodeRange spectral = fx::spectralCodes();
    s << "Codes " << spectral.first << " to " << spectral.last << " are spectral effects.\n";
    return s.str();
}

} // namespace vumo::fxtool
