# The shipped x86-64 program: the win32-thread-model MinGW-w64 compilers, whose runtime needs no
# winpthreads and so imports nothing newer than the program's own calls.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DRVSWEEP_MINGW_TARGET x86_64-w64-mingw32)
set(DRVSWEEP_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw_base.cmake)
