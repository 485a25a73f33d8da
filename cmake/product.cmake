# What a build without the tests builds: the engine, its modules, the studio and the tools. The
# areas define their test programs beside their sources; without VUMO_BUILD_TESTS those are
# still defined but left out of the default build, and GoogleTest is not looked for: its
# targets stand for nothing, since nothing that links them is built.

# The programs and libraries that are installed; everything they link is built with them.
set(VUMO_PRODUCT_TARGETS Vumo vumo-fx vumo-play vumo-mix vumo-cab vumo-chain wavorn vumo-media
                         vumo-synth)

if(NOT WIN32)
    if(VUMO_BUILD_TESTS)
        find_package(GTest REQUIRED)
    else()
        foreach(name gtest gtest_main gmock gmock_main)
            add_library(GTest::${name} INTERFACE IMPORTED)
        endforeach()
    endif()
endif()

# Called once every area is defined: without the tests, every target that is not part of the
# product (test programs, their helpers, benchmarks) is built only when asked for by name.
function(vumo_leave_out_all_but_product)
    if(VUMO_BUILD_TESTS)
        return()
    endif()
    get_directory_property(targets DIRECTORY ${CMAKE_SOURCE_DIR} BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        if(NOT target IN_LIST VUMO_PRODUCT_TARGETS)
            set_target_properties(${target} PROPERTIES EXCLUDE_FROM_ALL ON)
        endif()
    endforeach()
endfunction()
