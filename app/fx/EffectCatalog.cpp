// The effect catalog: the texts of the rows of Effects.def, and the lookups over them.
#include "EffectCatalog.h"

#include <algorithm>
#include <array>

namespace vumo::fx
{

namespace
{

// Texts that many rows share.
constexpr const char* kPan = "pan: 0 left only, 255 right only, 128 right + 127/128 left";
constexpr const char* kFreq = "Lo       Frequency        Hi";
constexpr const char* kChorusRate = "Chorus    Rate    Flange";
constexpr const char* kIntervals = "Lo Oct, Lo 5th, 3rd, 5th, 7th, Oct";
constexpr const char* kNa = "N/A";
constexpr const char* kWindow = "window (260-P1)/2 frames";
constexpr const char* kNoteOn = "note on above 256*P2, off below 128*P2";
constexpr const char* kBlend = "blend speed 0.01/(P3+1) per frame";
// Their units: the window in ms; the level at which a note starts, in dBFS; the time the blend
// takes from one end to the other, 100*(P3+1) frames, in ms.
constexpr ParamUnit kWindowUnit = frames(-1, 260, 2);
constexpr ParamUnit kNoteOnUnit = level(256);
constexpr ParamUnit kBlendUnit = frames(100, 100);

// In the order of the F&X menu.
constexpr EffectInfo kRows[] = {
#define VUMO_EFFECT(code, function, source, ...) {code, EffectKind::TimeDomain, __VA_ARGS__},
#define VUMO_SPECTRAL_EFFECT(code, operation, source, ...)                                         \
    {code, EffectKind::Spectral, __VA_ARGS__},
#define VUMO_STUDIO_EFFECT(code, ...) {code, EffectKind::Studio, __VA_ARGS__},
#include "engine/fx/Effects.def"
#undef VUMO_EFFECT
#undef VUMO_SPECTRAL_EFFECT
#undef VUMO_STUDIO_EFFECT
};

constexpr auto kByCode = []
{
    std::array<EffectInfo, std::size(kRows)> rows{};
    std::copy(std::begin(kRows), std::end(kRows), rows.begin());
    std::sort(rows.begin(), rows.end(),
              [](const EffectInfo& a, const EffectInfo& b) { return a.code < b.code; });
    return rows;
}();

constexpr bool engineRuns(const EffectInfo& e)
{
    return e.kind != EffectKind::Studio;
}

// Codes and menu items once each; the chain's places 1 ... n once each, on effects it can hold.
constexpr bool rowsAreSound()
{
    int32_t places = 0;
    for (size_t i = 0; i < kByCode.size(); ++i)
    {
        const EffectInfo& e = kByCode[i];
        if (i > 0 && kByCode[i - 1].code == e.code)
            return false;
        for (size_t j = 0; j < i; ++j)
            if (std::string_view(kByCode[j].menuItem) == e.menuItem)
                return false;
        if (e.listPlace > 0 && (!engineRuns(e) || *e.listName == '\0'))
            return false;
        places += e.listPlace > 0 ? 1 : 0;
    }
    for (int32_t place = 1; place <= places; ++place)
        if (std::count_if(kByCode.begin(), kByCode.end(),
                          [place](const EffectInfo& e) { return e.listPlace == place; }) != 1)
            return false;
    return true;
}
static_assert(rowsAreSound(), "Effects.def: a code, menu item or chain list place twice");

// An unused parameter has no unit, and a pan is shown as a position exactly where it is one.
constexpr bool unitsFollowMeanings()
{
    for (const EffectInfo& e : kRows)
        for (int i = 0; i < 3; ++i)
        {
            const bool unused = std::string_view(e.meanings[i]) == "-";
            const bool pan = std::string_view(e.meanings[i]) == kPan;
            if ((unused && e.units[i].kind != UnitKind::None) ||
                pan != (e.units[i].kind == UnitKind::Pan))
                return false;
        }
    return true;
}
static_assert(unitsFollowMeanings(), "Effects.def: a unit on an unused parameter or a pan");
static_assert(std::find_if(kByCode.begin(), kByCode.end(),
                           [](const EffectInfo& e) { return e.code == kFadeCode; })
                      ->kind == EffectKind::Studio,
              "the studio computes the fade itself");

template <typename Keep> constexpr CodeRange codesWhere(Keep keep)
{
    CodeRange r{0, -1};
    for (const EffectInfo& e : kByCode)
        if (keep(e))
            r = {r.last < r.first ? e.code : std::min(r.first, e.code), std::max(r.last, e.code)};
    return r;
}

} // namespace

std::span<const EffectInfo> effectCatalog()
{
    return kByCode;
}

const EffectInfo* findEffectInfo(int32_t code)
{
    for (const EffectInfo& e : kByCode)
        if (e.code == code)
            return &e;
    return nullptr;
}

bool isEngineEffect(int32_t code)
{
    const EffectInfo* e = findEffectInfo(code);
    return e != nullptr && engineRuns(*e);
}

CodeRange engineCodes()
{
    return codesWhere(engineRuns);
}

CodeRange spectralCodes()
{
    return codesWhere([](const EffectInfo& e) { return e.kind == EffectKind::Spectral; });
}

std::vector<const EffectInfo*> submenuEffects(std::string_view submenu)
{
    std::vector<const EffectInfo*> items;
    for (const EffectInfo& e : kRows)
        if (submenu == e.submenu)
            items.push_back(&e);
    return items;
}

std::vector<const EffectInfo*> chainOffered()
{
    std::vector<const EffectInfo*> offered;
    for (const EffectInfo& e : kByCode)
        if (e.listPlace > 0)
            offered.push_back(&e);
    std::sort(offered.begin(), offered.end(),
              [](const EffectInfo* a, const EffectInfo* b) { return a->listPlace < b->listPlace; });
    return offered;
}

int32_t codeFromListName(std::string_view name)
{
    for (const EffectInfo& e : kByCode)
        if (engineRuns(e) && name == e.listName)
            return e.code;
    return 0;
}

int32_t codeFromMenuItem(std::string_view menuItem)
{
    for (const EffectInfo& e : kByCode)
        if (menuItem == e.menuItem)
            return e.code;
    return 0;
}

const char* listNameOfCode(int32_t code)
{
    const EffectInfo* e = findEffectInfo(code);
    return e != nullptr && engineRuns(*e) ? e->listName : "";
}

} // namespace vumo::fx
