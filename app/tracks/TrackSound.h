// TrackSound: where the sound of a track ends, in its wave file or in the engine's buffer: the
// frame after its last frame that is not silent. A shorter track length cuts off what lies past.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <functional>

namespace vumo::tracks
{

// The end of the sound of the wave file at path (its stored bytes), looked for past frame
// `from` only: the frame after the last frame past `from` with a sample other than 0, or `from`
// when there is none, or when the file is no regular RIFF WAVE file with a data chunk. Frames
// are 4 bytes (16-bit stereo, what the engine loads).
int64_t fileSoundEnd(const QByteArray& path, int64_t from);

// The same over frames [from, frames) of a buffer read one sample at a time: read(i) is sample
// i, frame i / 2, left channel at even i.
int64_t bufferSoundEnd(const std::function<int32_t(int32_t)>& read, int32_t from, int32_t frames);

} // namespace vumo::tracks
