# The command line end to end: the shipped program under Wine with no display, driven by cli_e2e_test
# through pipes, on the scenarios each test names.
if(NOT WIN32)
    return()
endif()

add_executable(cli_e2e_test ${DRVSWEEP_WINE_TESTS}/cli_e2e_test.cpp)
target_link_libraries(cli_e2e_test PRIVATE drvsweep_win32 drvsweep_test_support
    ${DRVSWEEP_GTEST_MAIN})
add_dependencies(cli_e2e_test test_uninstaller)

set(runs
        "ListAsJsonOnAMachineWithScanners demo_nt"
        "ListAsJsonOnAnEmptyMachine empty_9x"
        "ListKeepsAChineseDescription ui_zh_cn_nt"
        "RemoveAllQuietRemovesEveryScannerAndWritesTheLog demo_nt"
        "RemoveOneDevicePathLeavesTheOthers demo_nt"
        "VendorUninstallerRunsAndRemovesItsScanner demo_nt"
        "WhatIfChangesNothing demo_nt"
        "ABadSwitchChangesNothing demo_nt"
        "HeldFilesGoAtTheRestart demo_nt"
        "ARemovalWaitsWhileAnotherHoldsTheLock demo_nt"
        "AQuietRunStartsTheQuietUninstaller demo_nt"
        "ADriverWithoutADeviceIsListedAndRemovedByRemoveAll decorated_x64"
        "RemoveAllTakesEveryPackageAndKeepsTheOneAnotherMakerUses every_package_x64"
        "ListNamesEveryPackageAndTheKeptOne every_package_x64"
        "OnlyAMultifunctionDevicesScannerInterfaceIsListedAndRemoved multifunction_nt"
        "OnlyAMultifunctionDevicesScannerInterfaceIsListedAndRemovedOn9x multifunction_9x")
# An x86 test program finds syswow64 where it asks for system32, so the runner lays the
# scenario's system32 there, while the removal runs in the 64-bit program it hands over to: a
# machine whose packages install into both folders is checked by the x86-64 build alone.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    list(APPEND runs "RemoveAllTakesWhatEachPackageInstalledAndNothingItShares installed_files_x64")
endif()
foreach(run IN LISTS runs)
    separate_arguments(run)
    list(GET run 0 test)
    list(GET run 1 scenario)
    add_test(NAME cli_e2e.${test} COMMAND cli_e2e_test --gtest_filter=CommandLine.${test})
    set_tests_properties(cli_e2e.${test} PROPERTIES FIXTURES_REQUIRED shipped_programs
        ENVIRONMENT "DRVSWEEP_SCENARIO=${scenario};DRVSWEEP_FIXTURES=${DRVSWEEP_FIXTURES};DRVSWEEP_PROGRAM=${DRVSWEEP_SHIPPED_PROGRAM};DRVSWEEP_PREFIX_FILES=$<TARGET_FILE:test_uninstaller>=windows/quorin/uninst.exe"
        ENVIRONMENT_MODIFICATION "DISPLAY=unset:")
endforeach()
set_property(TEST cli_e2e.HeldFilesGoAtTheRestart APPEND PROPERTY ENVIRONMENT
    "DRVSWEEP_FILE_HOLDER=${DRVSWEEP_HOST_ROOT}$<TARGET_FILE:file_holder>")
add_dependencies(cli_e2e_test file_holder)
