# Command-line programs over the engine's exports.
add_executable(vumo-play tools/play/VumoPlay.cpp)
target_link_libraries(vumo-play PRIVATE wavorn vumo_platform)
