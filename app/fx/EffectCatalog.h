// The effect catalog: for every effect code, the names the studio and vumo-fx show, the F&X menu
// item, the captions above the dialog's three sliders, the dialog's default values and what
// each value does. One table, used by the parameter dialog, the chain window and vumo-fx.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace vumo::fx
{

// The fade the studio computes itself over TrackRead/TrackWrite; the engine does not know it.
inline constexpr int32_t kFadeCode = 40;

struct EffectInfo
{
    int32_t code;
    const char* name;        // dialog name: the record's name, the title "FX - " + name
    const char* listName;    // name in the chain window's lists; "" when a chain cannot hold it
    const char* menuItem;    // control name of the F&X menu item that runs it
    const char* menuCaption; // the menu item's caption
    const char* captions[3]; // labels above the three sliders
    int32_t defaults[3];     // value1 ... value3 before the dialog opens
    const char* meanings[3]; // what P1 ... P3 do, "-" when unused
    // True when every frame's result depends on that frame alone, so applying the effect to
    // consecutive pieces of the range gives the same samples as one call (progress in pieces).
    bool perFrame;
};

// Codes 1 ... 32 in order, then the fade (40).
std::span<const EffectInfo> effectCatalog();
// The entry of code, or null.
const EffectInfo* findEffectInfo(int32_t code);
// True for the codes the engine's FXIt runs (1 ... 32).
bool isEngineEffect(int32_t code);
// The code whose list name is exactly name, or 0.
int32_t codeFromListName(std::string_view name);
// The code run by the F&X menu item named menuItem ("mnuFXEcho"), or 0.
int32_t codeFromMenuItem(std::string_view menuItem);
// The list name of code, or "" outside 1 ... 32.
const char* listNameOfCode(int32_t code);

} // namespace vumo::fx
