# The effect catalog: plain C++ without Qt, linked by the core, the studio and vumo-fx. Its texts
# come from the effect rows beside the engine's effects (engine/fx/Effects.def); it links none
# of the engine's code.
include_guard(GLOBAL)
add_library(vumo_fxcatalog STATIC core/fx/EffectCatalog.cpp core/fx/ParamUnits.cpp)
target_include_directories(vumo_fxcatalog PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/core)
target_include_directories(vumo_fxcatalog PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
