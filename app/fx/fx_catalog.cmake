# The effect catalog: plain C++ without Qt, linked by the studio and by vumo-fx. Its texts come
# from the effect rows beside the engine's effects (engine/fx/Effects.def); it links none of
# the engine's code.
include_guard(GLOBAL)
add_library(vumo_fxcatalog STATIC app/fx/EffectCatalog.cpp app/fx/ParamUnits.cpp)
target_include_directories(vumo_fxcatalog PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/app)
target_include_directories(vumo_fxcatalog PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
