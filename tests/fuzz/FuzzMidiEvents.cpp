// Fuzz target: the virtual MIDI input's events file.
#include "FuzzSupport.h"
#include "platform/virtual/VirtualMidiIn.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::InputFile file(data, size, ".txt");
    for (const platform::TimedMidiEvent& e : platform::readMidiEventsFile(file.path()))
        if (e.message > 0xFFFFFF) // a short message is three bytes
            __builtin_trap();
    return 0;
}
