// TrackImport: any audio file the media layer decodes (wave at any depth and rate, FLAC, MP3,
// Ogg, AAC, ...) converted to a 16-bit stereo 44100 Hz wave file, written in pieces beside its
// place and renamed there only once complete.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace vumo::tracks
{

struct ImportResult
{
    QString error;          // why nothing was written, for the user; empty on success and cancel
    bool cancelled = false; // the user cancelled: nothing was written
    int64_t frames = 0;     // the frames written
    bool cut = false;       // the source held more than maxFrames frames
    int64_t cutFrames = -1; // how many more by its stated length; -1 when it does not say
};

// Told after each piece: done frames so far, of total expected (the source's stated length, at
// most maxFrames; -1 when the source does not say). Returns false to cancel.
using ImportProgress = std::function<bool(int64_t done, int64_t total)>;

// Decodes source from its first frame and writes its first maxFrames frames (all of them when
// it is shorter) to target as a canonical wave file, replacing what target held only when the
// whole file is written (files::SafeFileWriter). A source that cannot be opened or decoded, or
// holds no audio, a failed write and a cancel leave target as it was.
ImportResult importAudio(const QString& source, const QString& target, int64_t maxFrames,
                         const ImportProgress& progress = {});

// "12.3" seconds of frames, for messages; "less than 0.1" below a tenth of a second.
QString secondsText(int64_t frames);

} // namespace vumo::tracks
