// MediaReader: decodes a media file or an audio CD track to 16-bit stereo frames at 44100 Hz.
//
// A source is named by one string, as VUMO_CAPTURE_SOURCE names it for a capture pass: the
// path of a media file (anything FFmpeg decodes; ".mid" files are rendered with the built-in
// General MIDI synth), or "cdda:N" for track N (1..99) of the audio CD in the default drive.
// When VUMO_VIRTUAL_CD names a folder, that folder stands for the CD: its "track01.wav",
// "track02.wav", ... are the CD's tracks, and no drive is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::media
{

// The variable a capture pass reads its source from (see media/CaptureStream.h).
inline constexpr const char* kCaptureSourceVariable = "VUMO_CAPTURE_SOURCE";

// "cdda:N": the source string of CD track `track`.
std::string cdTrackSource(int track);

class MediaReader
{
public:
    virtual ~MediaReader() = default;
    // Appends the next decoded frames (interleaved left, right) to `samples`; appends nothing
    // at the end of the media. False, with the reason in `error`, when decoding fails.
    virtual bool read(std::vector<int16_t>& samples, std::string& error) = 0;
    // The frames at 44100 Hz the source says it holds (a media file's stated duration), for
    // progress and messages only: the decode has the last word. -1 when it does not say.
    virtual int64_t statedFrames() const { return -1; }
};

struct MediaOpenResult
{
    std::unique_ptr<MediaReader> reader; // null when the source cannot be opened
    std::string error;                   // why not, in words for the user
};

// Opens `source` for decoding from its first frame.
MediaOpenResult openMedia(const std::string& source);

// Opens `source` and decodes its start: an empty string when it can be captured, else the
// message to show (the file cannot be opened or decoded, the CD track does not exist, there is
// no CD, no SoundFont for a MIDI file).
std::string probeMedia(const std::string& source);

// Decodes at most maxFrames frames of `source` into samples (interleaved). False, with the
// reason in `error`, when it cannot be opened or decoded.
bool decodeMedia(const std::string& source, size_t maxFrames, std::vector<int16_t>& samples,
                 std::string& error);

// The readers behind openMedia.
MediaOpenResult openFfmpegFile(const std::string& path);
MediaOpenResult openMidiFile(const std::string& path);
MediaOpenResult openCdTrack(int track);

} // namespace platform::media
