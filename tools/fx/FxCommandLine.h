// The command line of vumo-fx: input and output wave files, an optional frame range and a
// chain of effects written CODE[:P1[:P2[:P3]]].
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vumo::fxtool
{

struct EffectStep
{
    int32_t code = 0;
    int32_t p[3] = {0, 0, 0};
};

enum class ProgressMode
{
    Auto,   // a bar on a terminal, for long files
    Always, // a bar whatever the output is
    Never,
};

struct Options
{
    std::string input;
    std::string output;
    std::optional<int64_t> from; // first frame of the range, inclusive
    std::optional<int64_t> to;   // end of the range, exclusive
    bool crop = false;           // write only the range instead of the whole file
    ProgressMode progress = ProgressMode::Auto;
    std::vector<EffectStep> chain;
    bool help = false;
};

struct ParseResult
{
    Options options;
    std::string error; // empty when the command line is good
    bool ok() const { return error.empty(); }
};

// Parses the arguments after the program name. Missing parameters of an effect take the
// effect dialog's defaults.
ParseResult parseCommandLine(const std::vector<std::string>& args);
// An effect written CODE[:P1[:P2[:P3]]], or an error text.
std::optional<EffectStep> parseEffect(const std::string& text, std::string& error);

// The text of --help: usage, options and every effect code with its parameters.
std::string helpText();

} // namespace vumo::fxtool
