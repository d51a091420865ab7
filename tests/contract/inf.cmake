drvsweep_contract_test(inf_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/inf_contract_test.cpp
    SCENARIOS contract_inf)
