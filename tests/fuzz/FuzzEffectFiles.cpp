// Fuzz target: effect presets (".sfx") and effect chains (".mfx") from elsewhere; the first
// byte chooses which reader gets the rest.
#include "fx/EffectChain.h"
#include "fx/EffectSetting.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    QString error;
    if (data[0] & 1)
    {
        vumo::fx::EffectChain chain;
        if (vumo::fx::parseChainFile(bytes, chain, error))
            vumo::fx::chainFileBytes(chain);
    }
    else
    {
        vumo::fx::EffectSetting setting;
        if (vumo::fx::parseEffectFile(bytes, setting, error))
            vumo::fx::effectFileBytes(setting);
    }
    return 0;
}
