# The device layer: wave output and input, MIDI, the periodic timer; real and virtual backends.
pkg_check_modules(PORTAUDIO REQUIRED IMPORTED_TARGET portaudio-2.0)

add_library(vumo_platform STATIC
    platform/AudioBackend.cpp
)
target_include_directories(vumo_platform PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vumo_platform PUBLIC Threads::Threads PRIVATE PkgConfig::PORTAUDIO)
