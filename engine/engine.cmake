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
if(WIN32)
    # wavorn.dll and its import library libwavorn.dll.a. Only the exports marked in wavorn.h
    # leave the DLL. On 32-bit Windows their standard calling convention decorates the names
    # (OpenLib@8): wavorn.def lists them and the linker strips the decoration from the exports,
    # while the import library keeps it for callers compiled against wavorn.h.
    set_target_properties(wavorn PROPERTIES PREFIX "" ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    target_link_libraries(wavorn PRIVATE winmm)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        target_sources(wavorn PRIVATE engine/api/wavorn.def)
        target_link_options(wavorn PRIVATE -Wl,--kill-at)
        # The linker's import library would name the plain symbols; dlltool's keeps the
        # decorated ones for linking and imports them by their plain names.
        add_custom_command(TARGET wavorn POST_BUILD
            COMMAND ${CMAKE_DLLTOOL} -k -d ${CMAKE_CURRENT_SOURCE_DIR}/engine/api/wavorn.def
                    -D wavorn.dll -l $<TARGET_LINKER_FILE:wavorn>
            VERBATIM)
    endif()
else()
    # Only the C exports leave the library; static libraries linked in stay hidden too.
    target_link_options(wavorn PRIVATE -Wl,--exclude-libs,ALL
                        -Wl,--version-script=${CMAKE_CURRENT_SOURCE_DIR}/engine/api/wavorn.map)
    set_target_properties(wavorn PROPERTIES LINK_DEPENDS
                                            ${CMAKE_CURRENT_SOURCE_DIR}/engine/api/wavorn.map)
endif()
