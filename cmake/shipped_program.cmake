# The shipped programs, built by the release presets (scripts/release.sh):
#   x86-64: DrvSweep64.exe, for Windows XP x64 / Server 2003 x64 (NT 5.2) and later;
#   x86:    DrvSweep.exe, for Windows 98 SE, ME, 2000 and later, carrying DrvSweep64.exe as a
#           resource, which it runs in its place on 64-bit Windows.
# Each is a GUI program (-mwindows) with everything linked in (-static) and its symbols
# stripped (-s): one file to copy. The header's OS and subsystem versions are the oldest
# Windows each one is for, since the loader refuses a program that asks for a newer one.
add_executable(DrvSweep WIN32 ${CMAKE_SOURCE_DIR}/ui/win32/win_main.cpp
    ${CMAKE_SOURCE_DIR}/cli/win32/command_line_main.cpp)
target_link_libraries(DrvSweep PRIVATE drvsweep_ui_win32 drvsweep_cli drvsweep_resources)
target_link_options(DrvSweep PRIVATE -static -s)
set_target_properties(DrvSweep PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${DRVSWEEP_RELEASE_DIR})

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set_target_properties(DrvSweep PROPERTIES OUTPUT_NAME DrvSweep64)
    target_link_options(DrvSweep PRIVATE -Wl,--subsystem,windows:5.2
        -Wl,--major-os-version,5 -Wl,--minor-os-version,2)
else()
    target_link_options(DrvSweep PRIVATE -Wl,--subsystem,windows:4.0
        -Wl,--major-os-version,4 -Wl,--minor-os-version,0)
    set(DRVSWEEP_PROGRAM64 "" CACHE FILEPATH "The DrvSweep64.exe that DrvSweep.exe carries")
    if(NOT EXISTS "${DRVSWEEP_PROGRAM64}")
        message(FATAL_ERROR "DRVSWEEP_PROGRAM64 must name the built DrvSweep64.exe "
            "(scripts/release.sh builds it first); it is '${DRVSWEEP_PROGRAM64}'")
    endif()
    configure_file(${CMAKE_SOURCE_DIR}/res/embedded_program.rc.in
        ${CMAKE_BINARY_DIR}/embedded_program.rc @ONLY)
    target_sources(DrvSweep PRIVATE ${CMAKE_BINARY_DIR}/embedded_program.rc)
    target_include_directories(DrvSweep PRIVATE ${CMAKE_SOURCE_DIR}/res)
    # A new DrvSweep64.exe makes a new DrvSweep.exe.
    set_source_files_properties(${CMAKE_BINARY_DIR}/embedded_program.rc PROPERTIES
        OBJECT_DEPENDS ${DRVSWEEP_PROGRAM64})
endif()
