# The hand-over end to end: DrvSweep.exe on Wine's 64-bit prefix runs the DrvSweep64.exe it
# carries. Only the x86 build has something to hand over; on a machine that cannot run 32-bit
# programs the runner reports the test skipped (77).
if(NOT WIN32 OR CMAKE_SIZEOF_VOID_P EQUAL 8)
    return()
endif()

add_executable(hand_over_e2e_test
    ${DRVSWEEP_WINE_TESTS}/hand_over_e2e_test.cpp
    ${DRVSWEEP_WINE_TESTS}/program_session.cpp
    ${DRVSWEEP_WINE_TESTS}/wine_display.cpp)
target_link_libraries(hand_over_e2e_test PRIVATE drvsweep_win32 ${DRVSWEEP_GTEST_MAIN})
add_test(NAME hand_over_e2e COMMAND ${DRVSWEEP_WINE_TESTS}/with_xvfb.sh
    ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:hand_over_e2e_test>)
set_tests_properties(hand_over_e2e PROPERTIES FIXTURES_REQUIRED shipped_programs ENVIRONMENT
    "DRVSWEEP_SCENARIO=demo_nt;DRVSWEEP_FIXTURES=${DRVSWEEP_FIXTURES};DRVSWEEP_PROGRAM=${DRVSWEEP_SHIPPED_PROGRAM}")
