// Fuzz targets' shared help: the input written to a file of its own, for readers that take a
// path.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace fuzz
{

// A file in the temp folder holding the input, removed at the end of scope.
class InputFile
{
public:
    InputFile(const uint8_t* data, size_t size, const char* suffix)
    {
        m_path = "/tmp/vumo-fuzz-" + std::to_string(::getpid()) + suffix;
        if (std::FILE* f = std::fopen(m_path.c_str(), "wb"))
        {
            if (size > 0)
                std::fwrite(data, 1, size, f);
            std::fclose(f);
        }
    }
    ~InputFile() { std::remove(m_path.c_str()); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace fuzz
