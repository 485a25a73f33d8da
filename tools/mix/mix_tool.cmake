# vumo-mix: a project's mixdown through the engine's exports (its tests: tools/cab/cab_tool.cmake).
add_executable(vumo-mix tools/mix/MixMain.cpp)
target_include_directories(vumo-mix PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vumo-mix PRIVATE vumo_core wavorn)
