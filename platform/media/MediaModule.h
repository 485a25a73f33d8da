// MediaModule: the media decoders' module, libvumo-media.so. It holds the FFmpeg reader of media
// files and the CD track reader (libcdio-paranoia), and exports their openers in one table; the
// device layer loads it (PlatformModule.h) the first time a media file or a CD track is opened.
#pragma once

#include "MediaReader.h"

namespace platform::media
{

inline constexpr const char* kMediaModuleFile = "libvumo-media.so";
// The table's exported name; a new version of the table takes a new name.
inline constexpr const char* kMediaModuleSymbol = "vumo_media_module_v1";

struct MediaModuleTable
{
    MediaOpenResult (*openFile)(const std::string& path); // a media file FFmpeg decodes
    MediaOpenResult (*openCdTrack)(int track);            // track 1 ... 99 of the audio CD
};

// Inside the module: the readers behind the table.
MediaOpenResult openFileWithFfmpeg(const std::string& path);
MediaOpenResult openCdTrackWithParanoia(int track);

} // namespace platform::media
