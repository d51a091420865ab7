# The x86 build whose tests run under Wine: ctest starts every Windows test through
# wine_run.sh.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(DRVSWEEP_MINGW_TARGET i686-w64-mingw32)
set(DRVSWEEP_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw_base.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/wine_run.sh)
