# The Windows build (MinGW-w64, see cmake/toolchains): GoogleTest from its source, the Windows
# headers' settings, and, when cross-compiling, the tests run under Wine (tests/windows/wine.sh).
# M_PI and its kin come with _USE_MATH_DEFINES there, as they do with the GNU C library here.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 _USE_MATH_DEFINES)

# GoogleTest built with the same compiler; Debian's googletest package has its source.
set(VUMO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source folder")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${VUMO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

if(CMAKE_CROSSCOMPILING)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tests/windows/wine.sh)
endif()

# Under Wine each start of a program costs a second, so every test program runs as one test
# (all its cases in one process) instead of one test per case. Its PROPERTIES still apply.
function(gtest_discover_tests target)
    cmake_parse_arguments(arg "" "DISCOVERY_TIMEOUT" "PROPERTIES" ${ARGN})
    add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
    set_tests_properties(${target} PROPERTIES TIMEOUT 600 ${arg_PROPERTIES})
endfunction()
