# The mixer window frmMix.
target_sources(vumo_app PRIVATE app/mixer/frmMix.cpp)
