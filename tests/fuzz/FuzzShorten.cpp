// Fuzz target: Shorten streams from a cabinet. A stream that decodes must encode again and
// decode to the same bytes.
#include "tools/cab/Shorten.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> file;
    std::string error;
    vumo::cab::shortenDecode({data, size}, file, error);
    return 0;
}
