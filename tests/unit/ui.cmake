# The user interface over the simulated Windows: the strings, the main window and the About
# box driven through the simulated dialog host, and the host itself.
drvsweep_unit_test(ui_interface_strings_test ${CMAKE_CURRENT_LIST_DIR}/ui_interface_strings_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui_code_pages.cpp)
drvsweep_unit_test(ui_uninstall_dlg_test ${CMAKE_CURRENT_LIST_DIR}/ui_uninstall_dlg_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui_code_pages.cpp)
drvsweep_unit_test(ui_sim_dialog_host_test ${CMAKE_CURRENT_LIST_DIR}/ui_sim_dialog_host_test.cpp)
drvsweep_unit_test(ui_uninstall_command_test
    ${CMAKE_CURRENT_LIST_DIR}/ui_uninstall_command_test.cpp)
drvsweep_unit_test(ui_window_functions_test ${CMAKE_CURRENT_LIST_DIR}/ui_window_functions_test.cpp)
if(NOT WIN32)
    foreach(test ui_interface_strings_test ui_uninstall_dlg_test ui_sim_dialog_host_test
                 ui_uninstall_command_test ui_window_functions_test)
        target_link_libraries(${test} PRIVATE drvsweep_ui)
    endforeach()
endif()
