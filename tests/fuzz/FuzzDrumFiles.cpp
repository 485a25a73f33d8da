// Fuzz target: drum files (".mbt", versions 2 and 3) and drum maps (".drm") from elsewhere;
// the first byte chooses the reader. What the drum file reader accepts must queue as a song.
#include "FuzzSupport.h"
#include "drums/DrumData.h"
#include "drums/DrumFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    fuzz::InputFile file(data + 1, size - 1, data[0] & 1 ? ".drm" : ".mbt");
    vumo::drums::DrumData drums;
    vumo::drums::InitDrumNames(drums);
    const QString path = QString::fromStdString(file.path());
    if (data[0] & 1)
        vumo::drums::importDrumMap(path, drums);
    else if (vumo::drums::readDrumFile(path, drums).isEmpty())
        vumo::drums::QueueDrums(drums, [](int32_t, int32_t) { return 0; });
    return 0;
}
