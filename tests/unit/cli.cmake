# The command line over the simulated Windows: the parser, the report formats, the log and
# whole runs with their exit codes.
drvsweep_unit_test(cli_command_line_test ${CMAKE_CURRENT_LIST_DIR}/cli_command_line_test.cpp)
drvsweep_unit_test(cli_report_test ${CMAKE_CURRENT_LIST_DIR}/cli_report_test.cpp)
drvsweep_unit_test(cli_run_test ${CMAKE_CURRENT_LIST_DIR}/cli_run_test.cpp)
drvsweep_unit_test(cli_run_log_folder_test ${CMAKE_CURRENT_LIST_DIR}/cli_run_log_folder_test.cpp)
if(NOT WIN32)
    foreach(test cli_command_line_test cli_report_test cli_run_test cli_run_log_folder_test)
        target_link_libraries(${test} PRIVATE drvsweep_cli)
    endforeach()
endif()
