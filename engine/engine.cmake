# The engine: wavorn_core (all of its C++, linked by the shared library and the unit tests)
# and the shared library wavorn, which adds only the C exports.
add_library(wavorn_core STATIC
    engine/api/Engine.cpp
    engine/api/TraceLog.cpp
    engine/wave/WaveFile.cpp
    engine/wave/Buffers.cpp
    engine/wave/TrackAccess.cpp
    engine/api/Lifecycle.cpp
    engine/transport/Transport.cpp
)
target_include_directories(wavorn_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}
                                              ${CMAKE_CURRENT_SOURCE_DIR}/engine/api)
target_link_libraries(wavorn_core PUBLIC vumo_platform Threads::Threads)

add_library(wavorn SHARED engine/api/Exports.cpp)
target_compile_definitions(wavorn PRIVATE WAVORN_BUILDING)
target_link_libraries(wavorn PRIVATE wavorn_core)
target_include_directories(wavorn PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/engine/api)
set_target_properties(wavorn PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
# Only the C exports leave the library; static libraries linked in stay hidden too.
target_link_options(wavorn PRIVATE -Wl,--exclude-libs,ALL
                    -Wl,--version-script=${CMAKE_CURRENT_SOURCE_DIR}/engine/api/wavorn.map)
set_target_properties(wavorn PROPERTIES LINK_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/engine/api/wavorn.map)
