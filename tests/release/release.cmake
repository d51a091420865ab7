# Checks of the release itself, in the x86-64 preset, where scripts/release.sh has built both
# programs: their version information, and a second and third release build from copies of the
# sources (reproducible bytes, signing, checksums; see release_twice_test.sh).
if(NOT WIN32 OR NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    return()
endif()

find_program(DRVSWEEP_PYTHON python3 REQUIRED)
add_test(NAME release_version_info COMMAND ${DRVSWEEP_PYTHON}
    ${CMAKE_CURRENT_LIST_DIR}/check_version_info.py ${CMAKE_SOURCE_DIR}/res/version.h
    ${DRVSWEEP_RELEASE_DIR}/DrvSweep.exe ${DRVSWEEP_RELEASE_DIR}/DrvSweep64.exe)
set_tests_properties(release_version_info PROPERTIES FIXTURES_REQUIRED shipped_programs)

# It builds on both cores, so ctest runs nothing beside it.
add_test(NAME release_reproducible_and_signed
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/release_twice_test.sh ${CMAKE_SOURCE_DIR})
set_tests_properties(release_reproducible_and_signed PROPERTIES TIMEOUT 1200 PROCESSORS 2)
