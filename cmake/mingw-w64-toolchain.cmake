# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix threads, so that std::thread
# and std::mutex work). Used for the Qt-free build whose tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SAYOLT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SAYOLT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SAYOLT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SAYOLT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SAYOLT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The executables carry the MinGW runtime (libstdc++, libgcc, winpthread) inside, so Wine needs
# no DLL search path.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
