# Shared by both mingw-w64 toolchains: posix-thread compilers, Windows binaries run through
# the project's Wine wrapper so that plain ctest can start them.
set(CMAKE_C_COMPILER ${KX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KX_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
