// Shorten: the lossless audio compression that a project cabinet stores its tracks in.
//
// The streams are standard Shorten version 2 (magic "ajkg"): the wave file's header travels
// verbatim in front, the 16-bit samples follow in blocks of 256 frames, each channel coded with
// the best of the four fixed polynomial predictors and a Rice code, silence as "zero" blocks,
// and any bytes after the sample data (a trailing chunk, a stray odd byte) travel verbatim at
// the end. Decoding gives back the original file byte for byte. Other Shorten decoders (FFmpeg's
// among them) read these streams; the decoder here reads what the encoder writes, plus any
// stream of the same type that uses the predictors, block sizes and means of the format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace vumo::cab
{

// Called now and then with the fraction of the work done, 0 to 1.
using ShortenProgress = std::function<void(double)>;

// Compresses the bytes of a wave file of 16-bit PCM samples (1 or 2 channels, any rate).
// Returns false with a reason in `error` for anything else (not a wave file, another sample
// format, no data chunk).
bool shortenEncode(std::span<const uint8_t> waveFile, std::vector<uint8_t>& stream,
                   std::string& error, const ShortenProgress& progress = {});

// Decompresses a Shorten stream into the bytes of the file it was made from. Returns false
// with a reason for a stream that is cut short, corrupt, or of a type other than signed 16-bit
// little-endian samples; `file` is then unspecified.
bool shortenDecode(std::span<const uint8_t> stream, std::vector<uint8_t>& file, std::string& error,
                   const ShortenProgress& progress = {});

// The largest wave file the encoder takes: a track of the longest track length (256 MB of
// frames) and room for the chunks around its samples.
inline constexpr uint64_t kMaxWaveFileBytes = (uint64_t(256) << 20) + (1 << 20);

// The frames of the wave file at path, read from its header without reading the samples. Only a
// regular file of at most kMaxWaveFileBytes is looked at; anything else, and a file that is not
// a wave file of 16-bit PCM samples, gives the reason in error.
bool waveFileFrames(const std::string& path, uint64_t& frames, std::string& error);

// What a decode may give at most: sample frames (per channel) and bytes of the whole file. A
// stream that would give more is refused as soon as it passes a limit.
struct DecodeLimits
{
    uint64_t maxFrames = UINT64_MAX;
    uint64_t maxBytes = UINT64_MAX;
    std::string framesWhy; // what sets each limit, for the message ("the track length")
    std::string bytesWhy;
};

// Receives decoded bytes in order; false stops the decode (the receiver knows why).
using ShortenSink = std::function<bool(const uint8_t* data, size_t size)>;
// Decodes a stream into sink, refusing it as soon as it passes a limit. error is left empty when
// the sink stopped the decode.
bool shortenDecode(std::span<const uint8_t> stream, const ShortenSink& sink, std::string& error,
                   const DecodeLimits& limits = {}, const ShortenProgress& progress = {});

// File to file, as the cabinet chain's "shortn32.exe IN OUT" and "shortn32.exe -x IN OUT" do.
// The input is read only when it is a regular file of a size the codec takes (a FIFO, a device or
// a file larger than any track is refused at once). The output is written beside its name
// (PartFile) and renamed over it only when complete, so a failure (a bad stream, a full disk, a
// limit passed) leaves no partial file and an older file of that name whole. The decoder writes
// straight to the file as it goes, never holding the whole file in memory.
bool shortenEncodeFile(const std::string& wavePath, const std::string& shnPath, std::string& error,
                       const ShortenProgress& progress = {});
bool shortenDecodeFile(const std::string& shnPath, const std::string& wavePath, std::string& error,
                       const DecodeLimits& limits = {}, const ShortenProgress& progress = {});

class PartFile;
// Decodes into part (open, not committed): for a caller that commits several files together.
// On failure the part is discarded and error says why, without the stream's path.
bool shortenDecodeToPart(const std::string& shnPath, PartFile& part, std::string& error,
                         const DecodeLimits& limits = {}, const ShortenProgress& progress = {});

} // namespace vumo::cab
