// MediaReader: chooses the reader for a source string, probes and decodes whole sources.
#include "MediaReader.h"

#include <algorithm>
#include <cctype>

namespace platform::media
{

namespace
{

constexpr const char* kCdPrefix = "cdda:";

// The track number of a "cdda:N" source, 0 for one with a malformed number, -1 for a source
// that is not a CD track.
int cdTrackOf(const std::string& source)
{
    const std::string prefix = kCdPrefix;
    if (source.compare(0, prefix.size(), prefix) != 0)
        return -1;
    const std::string digits = source.substr(prefix.size());
    if (digits.empty() || digits.size() > 2 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return std::isdigit(uint8_t(c)); }))
        return 0;
    return std::stoi(digits);
}

bool isMidiFile(const std::string& path)
{
    std::string name = path.substr(path.find_last_of('/') + 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return char(std::tolower(uint8_t(c))); });
    const auto endsWith = [&](const std::string& ext)
    {
        return name.size() > ext.size() &&
               name.compare(name.size() - ext.size(), ext.size(), ext) == 0;
    };
    return endsWith(".mid") || endsWith(".midi");
}

} // namespace

std::string cdTrackSource(int track)
{
    return kCdPrefix + std::to_string(track);
}

MediaOpenResult openMedia(const std::string& source)
{
    if (source.empty())
        return {nullptr, "No media file or CD track was named."};
    const int track = cdTrackOf(source);
    if (track == 0)
        return {nullptr, "\"" + source + "\" names no CD track (use cdda:1 to cdda:99)."};
    if (track > 0)
        return openCdTrack(track);
    if (isMidiFile(source))
        return openMidiFile(source);
    return openFfmpegFile(source);
}

std::string probeMedia(const std::string& source)
{
    MediaOpenResult opened = openMedia(source);
    if (!opened.reader)
        return opened.error;
    // The first frames prove the stream decodes; a source that ends at once holds no audio.
    std::vector<int16_t> samples;
    std::string error;
    if (!opened.reader->read(samples, error))
        return error;
    if (samples.empty())
        return "\"" + source + "\" holds no audio.";
    return {};
}

bool decodeMedia(const std::string& source, size_t maxFrames, std::vector<int16_t>& samples,
                 std::string& error)
{
    samples.clear();
    MediaOpenResult opened = openMedia(source);
    if (!opened.reader)
    {
        error = opened.error;
        return false;
    }
    while (samples.size() / 2 < maxFrames)
    {
        const size_t before = samples.size();
        if (!opened.reader->read(samples, error))
            return false;
        if (samples.size() == before)
            break;
    }
    if (samples.size() / 2 > maxFrames)
        samples.resize(maxFrames * 2);
    return true;
}

} // namespace platform::media
