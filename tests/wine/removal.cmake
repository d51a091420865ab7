# Programs of the removal tests that exist only in the Windows build and run under Wine.
if(WIN32)
    # The stand-in for the maker's uninstaller (see test_uninstaller.cpp). A GUI program, as
    # the maker's are, so that starting it opens no console.
    add_executable(test_uninstaller WIN32 ${CMAKE_CURRENT_LIST_DIR}/test_uninstaller.cpp)
    target_link_libraries(test_uninstaller PRIVATE drvsweep_win32)

    # Holds a file open without delete sharing from a process of its own, for the contract test
    # of the deletions at the restart.
    add_executable(file_holder ${CMAKE_CURRENT_LIST_DIR}/file_holder.cpp)

    # RestartSystem over the real backend: the test passes when Wine's restart ends the probe.
    # The restart asks the programs' windows, so the probe has one, on a display of its own.
    add_executable(restart_probe ${CMAKE_CURRENT_LIST_DIR}/restart_probe.cpp)
    target_link_libraries(restart_probe PRIVATE drvsweep_removal drvsweep_win32)
    foreach(scenario IN ITEMS removal_devices_nt removal_devices_9x)
        add_test(NAME restart_probe.${scenario} COMMAND ${CMAKE_CURRENT_LIST_DIR}/with_xvfb.sh
            ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:restart_probe>)
        set_tests_properties(restart_probe.${scenario} PROPERTIES ENVIRONMENT
            "DRVSWEEP_SCENARIO=${scenario};DRVSWEEP_FIXTURES=${DRVSWEEP_FIXTURES}")
    endforeach()
endif()

# What Wine's driver package calls answer where Windows answers otherwise.
if(WIN32)
    add_executable(driver_packages_wine_test
        ${CMAKE_CURRENT_LIST_DIR}/driver_packages_wine_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/driver_package_setup.cpp)
    target_link_libraries(driver_packages_wine_test PRIVATE drvsweep_test_support
        ${DRVSWEEP_GTEST_MAIN})
    add_test(NAME driver_packages_wine_test COMMAND driver_packages_wine_test)
    set_tests_properties(driver_packages_wine_test PROPERTIES ENVIRONMENT
        "DRVSWEEP_SCENARIO=package_x64;DRVSWEEP_FIXTURES=${DRVSWEEP_FIXTURES}")
endif()
