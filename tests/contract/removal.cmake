# The removal operations over both backends. In the Windows build the uninstaller contract test
# starts the test uninstaller of tests/wine/removal.cmake, which it copies into the prefix.
drvsweep_contract_test(removal_uninstaller_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/removal_uninstaller_contract_test.cpp
    SCENARIOS removal_uninstallers_nt removal_uninstallers_9x)
if(WIN32)
    target_compile_definitions(removal_uninstaller_contract_test PRIVATE
        DRVSWEEP_TEST_UNINSTALLER="${DRVSWEEP_HOST_ROOT}$<TARGET_FILE:test_uninstaller>")
    add_dependencies(removal_uninstaller_contract_test test_uninstaller)
else()
    target_compile_definitions(removal_uninstaller_contract_test PRIVATE
        DRVSWEEP_TEST_UNINSTALLER="")
endif()
drvsweep_contract_test(removal_device_nodes_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/removal_device_nodes_contract_test.cpp
    SCENARIOS removal_devices_nt removal_devices_9x)
drvsweep_contract_test(removal_files_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/removal_files_contract_test.cpp
    SCENARIOS removal_files_nt removal_files_9x)
drvsweep_contract_test(driver_packages_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/driver_packages_contract_test.cpp
    SCENARIOS contract_packages)
drvsweep_contract_test(removal_at_restart_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/removal_at_restart_contract_test.cpp
    SCENARIOS removal_files_nt removal_files_9x)
# In the Windows build another process holds the files: the file_holder of tests/wine/removal.cmake.
if(WIN32)
    foreach(scenario IN ITEMS removal_files_nt removal_files_9x)
        set_property(TEST removal_at_restart_contract_test.${scenario} APPEND PROPERTY ENVIRONMENT
            "DRVSWEEP_FILE_HOLDER=${DRVSWEEP_HOST_ROOT}$<TARGET_FILE:file_holder>")
    endforeach()
    add_dependencies(removal_at_restart_contract_test file_holder)
endif()
# Both machines are 64-bit Windows, where the x86 program never plans a removal: it hands the run
# over to the x86-64 one. Its own view of such a machine is not the machine's either (system32 is
# syswow64 to it), so the x86 build leaves this comparison to the x86-64 one.
if(NOT (WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4))
    drvsweep_contract_test(removal_plan_contract_test
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/removal_plan_contract_test.cpp
        SCENARIOS decorated_x64 every_package_x64 multifunction_nt installed_files_x64)
endif()
# Removal with a backup, then the backup put back: on a 64-bit machine of real packages, so the
# x86-64 build alone, as above.
if(NOT (WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4))
    drvsweep_contract_test(backup_restore_contract_test
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/backup_restore_contract_test.cpp
        SCENARIOS installed_files_x64)
endif()
