// The media readers of a build without decoders (the Windows build has neither FFmpeg, the
// built-in synth nor libcdio): every source is refused with a message that says so.
#include "MediaReader.h"

namespace platform::media
{

namespace
{

MediaOpenResult unavailable(const std::string& what)
{
    return {nullptr, what + " is not available in this build of Vumo."};
}

} // namespace

MediaOpenResult openFfmpegFile(const std::string& path)
{
    return unavailable("Decoding media files (\"" + path + "\")");
}

MediaOpenResult openMidiFile(const std::string& path)
{
    return unavailable("Rendering MIDI files (\"" + path + "\")");
}

MediaOpenResult openCdTrack(int track)
{
    return unavailable("Reading audio CD tracks (track " + std::to_string(track) + ")");
}

} // namespace platform::media
