# Programs of the removal tests that exist only in the Windows build and run under Wine.
if(WIN32)
    # The stand-in for the maker's uninstaller (see test_uninstaller.cpp). A GUI program, as
    # the maker's are, so that starting it opens no console.
    add_executable(test_uninstaller WIN32 ${CMAKE_CURRENT_LIST_DIR}/test_uninstaller.cpp)
    target_link_libraries(test_uninstaller PRIVATE drvsweep_win32)

    # RestartSystem over the real backend: the test passes when Wine's restart ends the probe.
    add_executable(restart_probe ${CMAKE_CURRENT_LIST_DIR}/restart_probe.cpp)
    target_link_libraries(restart_probe PRIVATE drvsweep_removal drvsweep_win32)
    foreach(scenario IN ITEMS removal_devices_nt removal_devices_9x)
        add_test(NAME restart_probe.${scenario} COMMAND restart_probe)
        set_tests_properties(restart_probe.${scenario} PROPERTIES ENVIRONMENT
            "DRVSWEEP_SCENARIO=${scenario};DRVSWEEP_FIXTURES=${DRVSWEEP_FIXTURES}")
    endforeach()
endif()
