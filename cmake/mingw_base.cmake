# What every MinGW-w64 cross build shares: a statically linked Windows program, made by the
# compilers of one target and thread model, with libraries and headers taken only from that
# target's root. The toolchain file that includes this one sets first:
#   CMAKE_SYSTEM_PROCESSOR   x86 or x86_64
#   DRVSWEEP_MINGW_TARGET    i686-w64-mingw32 or x86_64-w64-mingw32
#   DRVSWEEP_MINGW_THREADS   the compilers' thread model, posix or win32
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${DRVSWEEP_MINGW_TARGET}-gcc-${DRVSWEEP_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${DRVSWEEP_MINGW_TARGET}-g++-${DRVSWEEP_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${DRVSWEEP_MINGW_TARGET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${DRVSWEEP_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
