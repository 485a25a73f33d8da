// Device test helpers: scoped environment values, text files, waits, the sound-server rule.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
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
// Device results in call order (the calls of a braced list run in order).
using Results = std::vector<int32_t>;

inline Lines fileLines(const std::string& path)
{
    Lines lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

// Frames [first, first + frames) of a signal where a dropped, doubled or swapped sample shows.
inline std::vector<int16_t> knownSignal(size_t frames, size_t first = 0)
{
    std::vector<int16_t> samples(2 * frames);
    for (size_t i = 0; i < frames; ++i)
    {
        samples[2 * i] = int16_t(1000 + int((first + i) * 37 % 8000));
        samples[2 * i + 1] = int16_t(-1000 - int((first + i) * 53 % 8000));
    }
    return samples;
}

// How many samples of `played` a recording holds from its first non-zero frame on, unchanged.
inline size_t heardUpTo(const std::vector<int16_t>& recording, const std::vector<int16_t>& played)
{
    auto first = std::find_if(recording.begin(), recording.end(), [](int16_t s) { return s != 0; });
    first -= (first - recording.begin()) % 2;
    const auto n = std::min(recording.end() - first, std::ptrdiff_t(played.size()));
    return size_t(std::mismatch(played.begin(), played.begin() + n, first).first - played.begin());
}

// Polls `done` every millisecond until it holds or `limit` has passed; its last answer.
template <class Done>
bool waitUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return done();
}

// True when tests/servers.sh started the sound servers: a missing device then fails the test.
inline bool soundServersRequired()
{
    const char* value = std::getenv("VUMO_SOUND_SERVERS");
    return value != nullptr && std::string(value) == "1";
}

} // namespace platform::test

// Skips the test when a device it needs is missing, or fails it where the servers should be up.
#define VUMO_NEED_DEVICE(present, what)                                                            \
    do                                                                                             \
    {                                                                                              \
        if (!(present))                                                                            \
        {                                                                                          \
            if (platform::test::soundServersRequired())                                            \
                FAIL() << "no " << (what) << " although the sound servers should be running";      \
            GTEST_SKIP() << "no " << (what) << " on this machine";                                 \
        }                                                                                          \
    } while (false)
