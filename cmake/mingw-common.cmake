# What both mingw-w64 toolchain files share; they set QUORVAN_MINGW_PREFIX first.
# The -posix compilers: the -win32 ones lack std::mutex and std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${QUORVAN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORVAN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUORVAN_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUORVAN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
