# Cross build for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686-posix), for callers
# that are 32-bit programs:
#   cmake -S . -B build-win32 -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-i686.cmake
# The exports use the standard calling convention; engine/api/wavorn.def keeps their names
# undecorated.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VUMO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# SSE2 arithmetic (every processor that runs a supported Windows has it): floats round as they do
# in the 64-bit build instead of in the x87 unit's wider registers, so both give the same samples.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
