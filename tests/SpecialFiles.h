// Files no reader may wait on or read whole, and a guard for a call that never returns.
#pragma once

#include "platform/WaveHeader.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <sys/stat.h>

namespace specialfiles
{

// (what it is, its path) in folder: a FIFO nobody writes to, a terminal's master side, an
// endless device, the folder itself, and a sparse 4 GiB file that starts as a valid wave file.
inline std::vector<std::pair<std::string, std::string>> make(const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    const std::string fifo = (folder / "fifo.wav").string();
    const std::string sparse = (folder / "sparse.wav").string();
    ::mkfifo(fifo.c_str(), 0600);
    {
        const auto header = platform::waveHeader(platform::kWaveHeaderMaxFrames);
        std::ofstream(sparse, std::ios::binary)
            .write(reinterpret_cast<const char*>(header.data()), std::streamsize(header.size()));
    }
    std::filesystem::resize_file(sparse, uint64_t(4) << 30);
    return {{"a FIFO", fifo},
            {"a terminal", "/dev/ptmx"},
            {"an endless device", "/dev/zero"},
            {"a folder", folder.string()},
            {"a 4 GiB sparse file", sparse}};
}

// The words a reader's refusal of the special file `what` (as make names it) holds.
inline const char* refusalOf(const std::string& what)
{
    return what == "a 4 GiB sparse file" ? "it is larger than" : "it is not a regular file";
}

// While it lives, a call that runs longer than `limit` ends the program with a message.
class HangGuard
{
public:
    HangGuard(std::string what, std::chrono::milliseconds limit = std::chrono::seconds(1))
        : m_thread(
              [what = std::move(what), limit](std::stop_token stop)
              {
                  std::mutex mutex;
                  std::unique_lock lock(mutex); // the wait ends early only when stop is asked
                  std::condition_variable_any().wait_for(lock, stop, limit, [] { return false; });
                  if (!stop.stop_requested())
                  {
                      std::fprintf(stderr, "FAIL: %s did not return within %lld ms\n", what.c_str(),
                                   static_cast<long long>(limit.count()));
                      std::_Exit(1);
                  }
              })
    {
    }

private:
    std::jthread m_thread; // its end asks the wait to stop, then joins it
};

} // namespace specialfiles
