# ANSI text of a double-byte code page over both backends.
drvsweep_contract_test(text_contract_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/text_contract_test.cpp
    SCENARIOS contract_text_zh_tw)
