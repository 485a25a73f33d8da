// Runs a command line through the shell for the tools' end-to-end tests.
#pragma once

#include <cstdio>
#include <string>

#include <sys/wait.h>

namespace tooltest
{

struct CommandRun
{
    int status;      // the exit status; -1 when the command did not end by itself
    std::string out; // standard output
};

// Its output without the trailing newlines when trimmed.
inline CommandRun runCommand(const std::string& command, bool trimmed = false)
{
    CommandRun r{-1, {}};
    if (std::FILE* pipe = ::popen(command.c_str(), "r"))
    {
        char buffer[512];
        while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            r.out.append(buffer, n);
        const int status = ::pclose(pipe);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    while (trimmed && !r.out.empty() && r.out.back() == '\n')
        r.out.pop_back();
    return r;
}

} // namespace tooltest
