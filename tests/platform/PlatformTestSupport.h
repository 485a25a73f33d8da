// Helpers for the device tests: a scoped environment value and the lines of a text file. Wave
// files and scratch folders come from tests/engine/TestWave.h.
#pragma once

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace platform::test
{

// Sets (or with nullopt removes) an environment value and restores the old one on exit.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        set(value);
    }
    ~ScopedEnv() { set(m_old); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void set(const std::optional<std::string>& value) const
    {
        if (value)
            setenv(m_name.c_str(), value->c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }

    std::string m_name;
    std::optional<std::string> m_old;
};

inline void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

using Lines = std::vector<std::string>;

inline Lines fileLines(const std::string& path)
{
    Lines lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

} // namespace platform::test
