drvsweep_contract_test(scanner_table_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/scanner_table_contract_test.cpp
    SCENARIOS demo_nt demo_9x quirks_nt empty_9x uninstall_last_9x decorated_x64
    every_package_x64 multifunction_nt multifunction_9x installed_files_x64)
