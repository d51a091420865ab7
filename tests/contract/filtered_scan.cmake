# Every scenario with an INF folder: the scan that opens only the maker's INF files against the
# pass that opens every INF, and the byte test against what the Setup API reads.
drvsweep_contract_test(filtered_scan_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/filtered_scan_contract_test.cpp
    SCENARIOS contract_inf contract_packages contract_text_zh_tw decorated_x64
    demo_9x demo_nt every_package_x64 multifunction_9x multifunction_nt quirks_nt
    removal_files_nt uninstall_last_9x uninstall_twain_zh_tw_9x)
