// Fuzz target: Shorten streams from a cabinet. When what a stream decodes to is a wave file the
// encoder takes, its stream must decode to the same bytes again.
#include "shorten/Shorten.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> file;
    std::string error;
    if (!vumo::cab::shortenDecode({data, size}, file, error))
        return 0;
    std::vector<uint8_t> stream, again;
    if (vumo::cab::shortenEncode(file, stream, error) &&
        (!vumo::cab::shortenDecode(stream, again, error) || again != file))
        __builtin_trap();
    return 0;
}
