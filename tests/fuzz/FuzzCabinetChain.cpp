// Fuzz target: a cabinet's batch and directive files. No line the runner accepts may name a
// file outside the forms it knows.
#include "FuzzSupport.h"
#include "tools/cab/Cabinet.h"
#include "tools/cab/ChainRunner.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    vumo::cab::Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::vector<vumo::cab::ChainStep> steps;
    std::string error;
    if (vumo::cab::parseChain(lines, "unshortn.bat", true, steps, error))
        for (const vumo::cab::ChainStep& s : steps)
            if (s.kind == vumo::cab::ChainStep::Expand &&
                (s.second.size() < 4 || s.second.find('\0') != std::string::npos))
                __builtin_trap();
    fuzz::InputFile ddf(data, size, ".ddf");
    vumo::cab::Directive directive;
    vumo::cab::readDirective(ddf.path(), directive, error);
    return 0;
}
