# The programs users get (scripts/release.sh builds them into build/release/) are what the
# end-to-end runs drive: DrvSweep64.exe in the x86-64 preset, DrvSweep.exe, which hands over
# to DrvSweep64.exe on Wine's 64-bit prefix, in the x86 one. The release build runs as the
# first test, and every end-to-end test needs it (FIXTURES_REQUIRED shipped_programs), so a
# test run always drives programs built from the sources under test.
if(NOT WIN32)
    return()
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(DRVSWEEP_SHIPPED_PROGRAM ${DRVSWEEP_RELEASE_DIR}/DrvSweep64.exe)
else()
    set(DRVSWEEP_SHIPPED_PROGRAM ${DRVSWEEP_RELEASE_DIR}/DrvSweep.exe)
endif()

add_test(NAME release_build COMMAND ${CMAKE_SOURCE_DIR}/scripts/release.sh)
# A first release build compiles two programs; the preset's timeout is for single runs.
set_tests_properties(release_build PROPERTIES FIXTURES_SETUP shipped_programs TIMEOUT 1800)

# The x86 program carries the x86-64 one as it is now.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    find_program(DRVSWEEP_PYTHON python3 REQUIRED)
    add_test(NAME release_carries_program64 COMMAND ${DRVSWEEP_PYTHON}
        ${CMAKE_SOURCE_DIR}/tests/release/check_carried_program.py
        ${DRVSWEEP_RELEASE_DIR}/DrvSweep.exe ${DRVSWEEP_RELEASE_DIR}/DrvSweep64.exe)
    set_tests_properties(release_carries_program64 PROPERTIES FIXTURES_REQUIRED shipped_programs)
endif()
