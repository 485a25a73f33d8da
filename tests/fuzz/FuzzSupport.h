// Fuzz targets' shared help: the input in a file of its own, for readers that take a path.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fuzz
{

// A file in the temp folder holding the input, removed at the end of scope.
class InputFile
{
public:
    InputFile(const uint8_t* data, size_t size, const char* suffix)
        : m_path("/tmp/vumo-fuzz-" + std::to_string(::getpid()) + suffix)
    {
        std::ofstream(m_path, std::ios::binary)
            .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    ~InputFile() { std::remove(m_path.c_str()); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    const std::string& path() const { return m_path; }

private:
    const std::string m_path;
};

} // namespace fuzz
