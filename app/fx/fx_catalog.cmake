# The effect catalog: plain C++ without Qt, linked by the studio and by vumo-fx.
include_guard(GLOBAL)
add_library(vumo_fxcatalog STATIC app/fx/EffectCatalog.cpp)
target_include_directories(vumo_fxcatalog PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/app)
