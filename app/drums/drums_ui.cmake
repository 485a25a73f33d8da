# The drum editor window frmDrums over the core's drum data.
target_sources(vumo_app PRIVATE app/drums/frmDrums.cpp)
