// The table that libvumo-media.so exports: the FFmpeg and CD track readers.
#include "MediaModule.h"

extern "C"
{
    __attribute__((
        visibility("default"))) extern const platform::media::MediaModuleTable vumo_media_module_v1;
    const platform::media::MediaModuleTable vumo_media_module_v1 = {
        platform::media::openFileWithFfmpeg,
        platform::media::openCdTrackWithParanoia,
    };
}
