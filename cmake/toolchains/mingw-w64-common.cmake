# What both MinGW-w64 toolchains share; VUMO_MINGW_TRIPLE names the target.
set(CMAKE_C_COMPILER ${VUMO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VUMO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VUMO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VUMO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# libgcc, libstdc++ and winpthread go into every program and DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
