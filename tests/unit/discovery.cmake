drvsweep_unit_test(fixed_text_test ${CMAKE_CURRENT_LIST_DIR}/fixed_text_test.cpp)
drvsweep_unit_test(scanner_table_test ${CMAKE_CURRENT_LIST_DIR}/scanner_table_test.cpp)
drvsweep_unit_test(twain_folder_name_test ${CMAKE_CURRENT_LIST_DIR}/twain_folder_name_test.cpp)
