// The effect catalog: for every effect code, the names the studio and vumo-fx show, the F&X menu
// item, the captions above the dialog's three sliders, the dialog's default values, what each
// value does and in which unit the dialog shows it. Built from the rows of engine/fx/Effects.def
// without the engine's functions; used by the menu, the parameter dialog, the chain window and
// vumo-fx.
#pragma once

#include "fx/ParamUnits.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vumo::fx
{

// The fade the studio computes itself over TrackRead/TrackWrite; the engine does not know it.
inline constexpr int32_t kFadeCode = 40;

enum class EffectKind
{
    TimeDomain, // FXIt runs it sample by sample
    Spectral,   // FXIt runs it in the phase vocoder
    Studio,     // the studio computes it; FXIt never sees it
};

struct EffectInfo
{
    int32_t code;
    EffectKind kind;
    const char* name;        // dialog name: the record's name, the title "FX - " + name
    const char* listName;    // name in the chain window's lists; "" when a chain cannot hold it
    int32_t listPlace;       // place in the chain window's "Available FX", 1 ...; 0: not offered
    const char* submenu;     // control name of the F&X submenu holding the menu item
    const char* menuItem;    // control name of the F&X menu item that runs it
    const char* menuCaption; // the menu item's caption
    const char* helpAnchor;  // "#..." on the help page
    const char* captions[3]; // labels above the three sliders
    int32_t defaults[3];     // value1 ... value3 before the dialog opens
    const char* meanings[3]; // what P1 ... P3 do, "-" when unused
    ParamUnit units[3];      // how the dialog shows P1 ... P3 in units
    // True when every frame's result depends on that frame alone, so applying the effect to
    // consecutive pieces of the range gives the same samples as one call (progress in pieces).
    bool perFrame;
};

struct CodeRange
{
    int32_t first;
    int32_t last; // inclusive
};

// Every effect in code order (the engine's, then the fade).
std::span<const EffectInfo> effectCatalog();
// The entry of code, or null.
const EffectInfo* findEffectInfo(int32_t code);
// True for the codes the engine's FXIt runs (the time-domain and spectral effects).
bool isEngineEffect(int32_t code);
// The lowest and highest code FXIt runs, and those of the spectral effects.
CodeRange engineCodes();
CodeRange spectralCodes();
// The effects of the F&X submenu named submenu ("mnuFXAmp"), in menu order.
std::vector<const EffectInfo*> submenuEffects(std::string_view submenu);
// The effects the chain window offers, in the order of its "Available FX" list.
std::vector<const EffectInfo*> chainOffered();
// The code whose list name is exactly name, or 0.
int32_t codeFromListName(std::string_view name);
// The code run by the F&X menu item named menuItem ("mnuFXEcho"), or 0.
int32_t codeFromMenuItem(std::string_view menuItem);
// The list name of code, or "" for a code FXIt does not run.
const char* listNameOfCode(int32_t code);

} // namespace vumo::fx
