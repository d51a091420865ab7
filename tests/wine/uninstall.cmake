# The uninstall command end to end: DrvSweep.exe under Wine on a display of its own, driven by
# uninstall_e2e_test, with the test uninstaller in the prefix where demo_nt registers the
# Doc 392's uninstaller.
if(NOT WIN32)
    return()
endif()

add_executable(uninstall_e2e_test
    ${DRVSWEEP_WINE_TESTS}/uninstall_e2e_test.cpp
    ${DRVSWEEP_WINE_TESTS}/driver_package_setup.cpp
    ${DRVSWEEP_WINE_TESTS}/program_session.cpp
    ${DRVSWEEP_WINE_TESTS}/screenshot_request.cpp
    ${DRVSWEEP_WINE_TESTS}/user_input.cpp
    ${DRVSWEEP_WINE_TESTS}/window_reader.cpp
    ${DRVSWEEP_WINE_TESTS}/wine_display.cpp)
target_link_libraries(uninstall_e2e_test PRIVATE drvsweep_test_support ${DRVSWEEP_GTEST_MAIN})
add_dependencies(uninstall_e2e_test test_uninstaller)

# The 64-bit copies exist only where the 64-bit program runs; on 64-bit Windows the 32-bit one
# hands over to it.
set(DRVSWEEP_64_BIT_RUNS)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(DRVSWEEP_64_BIT_RUNS "RemovalTakesThePackageAndTheSixtyFourBitCopies package_x64"
        "ADriverWithoutADeviceIsListedMarkedAndRemoved decorated_x64")
endif()
foreach(run IN ITEMS ${DRVSWEEP_64_BIT_RUNS}
        "RegisteredUninstallerRunsAndTheEntryGoesWithTheDeviceKey demo_nt"
        "ConfirmedBuiltInRemovalAsksNoNeedlessRestart demo_nt"
        "DoubleClickThenNoAtTheConfirmationChangesNothing demo_nt"
        "RemovingTheLastScannerOn9xDisablesDelete uninstall_last_9x"
        "TraditionalChinese9xRemovesATwainFolderNamedInBig5 uninstall_twain_zh_tw_9x"
        "YesAtTheRestartQuestionRestarts demo_nt"
        "HeldFilesGoAtTheRestartAndTheQuestionSaysSo demo_nt")
    separate_arguments(run)
    list(GET run 0 test)
    list(GET run 1 scenario)
    add_test(NAME uninstall_e2e.${test} COMMAND ${DRVSWEEP_WINE_TESTS}/with_xvfb.sh
        ${DRVSWEEP_WINE_TESTS}/ui_session.sh ${CMAKE_BINARY_DIR}/screenshots
        ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:uninstall_e2e_test>
        --gtest_filter=UninstallCommand.${test})
    set_tests_properties(uninstall_e2e.${test} PROPERTIES FIXTURES_REQUIRED shipped_programs
        ENVIRONMENT
        "DRVSWEEP_SCENARIO=${scenario};DRVSWEEP_FIXTURES=${DRVSWEEP_FIXTURES};DRVSWEEP_PROGRAM=${DRVSWEEP_SHIPPED_PROGRAM};DRVSWEEP_PREFIX_FILES=$<TARGET_FILE:test_uninstaller>=windows/quorin/uninst.exe;DRVSWEEP_FILE_HOLDER=${DRVSWEEP_HOST_ROOT}$<TARGET_FILE:file_holder>")
endforeach()
add_dependencies(uninstall_e2e_test file_holder)

# The driver package calls, the 32-bit system folder, System Restore and the shell's folder
# paths are bound at run time: Windows 2000, the 9x family and Windows before 10 1703 lack some
# of them and would not load a program that imports them.
add_test(NAME program_binds_package_calls_at_run_time COMMAND
    ${DRVSWEEP_WINE_TESTS}/bound_imports.sh ${CMAKE_OBJDUMP} ${DRVSWEEP_SHIPPED_PROGRAM}
    SetupUninstallOEMInfA DiUninstallDriverW DiUninstallDriverA GetSystemWow64DirectoryA
    RtlGetVersion CreateBoundaryDescriptorA AddSIDToBoundaryDescriptor DeleteBoundaryDescriptor
    CreatePrivateNamespaceA OpenPrivateNamespaceA ClosePrivateNamespace CreateWellKnownSid
    ProcessIdToSessionId SetupCopyOEMInfA SRSetRestorePointA SHGetFolderPathA)
set_tests_properties(program_binds_package_calls_at_run_time PROPERTIES
    FIXTURES_REQUIRED shipped_programs)
