drvsweep_contract_test(registry_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_contract_test.cpp
    SCENARIOS contract_registry_nt contract_registry_9x)
drvsweep_contract_test(files_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/files_contract_test.cpp
    SCENARIOS contract_files)
drvsweep_contract_test(version_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/version_contract_test.cpp
    SCENARIOS contract_registry_nt contract_registry_9x contract_files ui_zh_cn_nt ui_zh_tw_9x)
drvsweep_contract_test(devices_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/devices_contract_test.cpp
    SCENARIOS contract_devices_nt)
drvsweep_contract_test(programs_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/programs_contract_test.cpp
    SCENARIOS contract_files)
drvsweep_contract_test(hand_over_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/hand_over_contract_test.cpp
    SCENARIOS contract_files)
drvsweep_contract_test(dll_search_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/dll_search_contract_test.cpp
    SCENARIOS contract_files)
target_link_libraries(dll_search_contract_test PRIVATE drvsweep_app)
drvsweep_contract_test(file_facts_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_facts_contract_test.cpp
    SCENARIOS contract_file_facts)
# In the Windows build the scenario's companies come from the version resources of
# tests/wine/company_files.cmake.
if(WIN32)
    add_dependencies(file_facts_contract_test company_microsoft_corporation company_quorin_imaging)
endif()
drvsweep_contract_test(platform_writes_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/platform_writes_contract_test.cpp
    SCENARIOS contract_platform_writes)
