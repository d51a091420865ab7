# Tests of the user interface that need a window: the dialog host contract (natively over the
# simulated window, in the Windows build over the real dialog), the real host's own checks, and
# the end-to-end runs of DrvSweep.exe. Windows programs run under Wine on a display of their own
# (with_xvfb.sh), each in a fresh prefix (wine_run.sh).
set(DRVSWEEP_WINE_TESTS ${CMAKE_CURRENT_LIST_DIR})

if(NOT WIN32)
    add_executable(dialog_host_contract_test
        ${DRVSWEEP_WINE_TESTS}/dialog_host_contract_test.cpp
        ${DRVSWEEP_WINE_TESTS}/sim_dialog_harness.cpp)
    target_link_libraries(dialog_host_contract_test PRIVATE drvsweep_test_support
        ${DRVSWEEP_GTEST_MAIN})
    add_test(NAME dialog_host_contract_test COMMAND dialog_host_contract_test)
    return()
endif()

# A Windows test program that shows windows: it gets the program's resources and runs on a
# display, once in an NT-family prefix and once in a 9x-family one (window_9x: Version=win98,
# Traditional Chinese, code page 950), where the window is an ANSI window. Tests named ...On9x
# run only in the second, ...OnNt only in the first.
function(drvsweep_window_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES} ${DRVSWEEP_WINE_TESTS}/wine_display.cpp)
    target_link_libraries(${name} PRIVATE drvsweep_ui_win32 drvsweep_resources
        ${DRVSWEEP_GTEST_MAIN})
    add_test(NAME ${name} COMMAND ${DRVSWEEP_WINE_TESTS}/with_xvfb.sh
        ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}> --gtest_filter=-*On9x)
    add_test(NAME ${name}.window_9x COMMAND ${DRVSWEEP_WINE_TESTS}/with_xvfb.sh
        ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}> --gtest_filter=-*OnNt)
    set_tests_properties(${name}.window_9x PROPERTIES ENVIRONMENT
        "DRVSWEEP_SCENARIO=window_9x;DRVSWEEP_FIXTURES=${DRVSWEEP_FIXTURES}")
endfunction()

drvsweep_window_test(dialog_host_contract_test SOURCES
    ${DRVSWEEP_WINE_TESTS}/dialog_host_contract_test.cpp
    ${DRVSWEEP_WINE_TESTS}/win32_dialog_harness.cpp)
drvsweep_window_test(win32_dialog_host_test SOURCES
    ${DRVSWEEP_WINE_TESTS}/win32_dialog_host_test.cpp
    ${DRVSWEEP_WINE_TESTS}/win32_dialog_harness.cpp)

# The end-to-end runs: the driver program starts DrvSweep.exe in the prefix that wine_run.sh
# seeded from the scenario, and leaves its screenshots in <build>/screenshots.
add_executable(ui_e2e_test
    ${DRVSWEEP_WINE_TESTS}/ui_e2e_test.cpp
    ${DRVSWEEP_WINE_TESTS}/program_session.cpp
    ${DRVSWEEP_WINE_TESTS}/screenshot_request.cpp
    ${DRVSWEEP_WINE_TESTS}/user_input.cpp
    ${DRVSWEEP_WINE_TESTS}/window_reader.cpp
    ${DRVSWEEP_WINE_TESTS}/wine_display.cpp)
target_link_libraries(ui_e2e_test PRIVATE drvsweep_win32 ${DRVSWEEP_GTEST_MAIN})

foreach(run IN ITEMS
        "EnglishFourScannersEndsOnExit demo_nt"
        "SimplifiedChineseEndsOnEnter ui_zh_cn_nt"
        "TraditionalChinese9xEndsOnAltF4 ui_zh_tw_9x"
        "NoScannerDisablesDeleteAndEndsOnTheCloseBox empty_9x"
        "HongKongChineseIsServedInEnglishAndEndsOnWmClose ui_zh_hk_nt")
    separate_arguments(run)
    list(GET run 0 test)
    list(GET run 1 scenario)
    add_test(NAME ui_e2e.${test} COMMAND ${DRVSWEEP_WINE_TESTS}/with_xvfb.sh
        ${DRVSWEEP_WINE_TESTS}/ui_session.sh ${CMAKE_BINARY_DIR}/screenshots
        ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:ui_e2e_test>
        --gtest_filter=DrvSweepWindow.${test})
    set_tests_properties(ui_e2e.${test} PROPERTIES FIXTURES_REQUIRED shipped_programs
        ENVIRONMENT
        "DRVSWEEP_SCENARIO=${scenario};DRVSWEEP_FIXTURES=${DRVSWEEP_FIXTURES};DRVSWEEP_PROGRAM=${DRVSWEEP_SHIPPED_PROGRAM}")
endforeach()
