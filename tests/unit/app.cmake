# The entry point over the simulated Windows: the choice between the front ends, the start
# without a window in session 0, and the hand-over to the x86-64 program with its message.
drvsweep_unit_test(app_start_test ${CMAKE_CURRENT_LIST_DIR}/app_start_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui_code_pages.cpp)
if(NOT WIN32)
    target_link_libraries(app_start_test PRIVATE drvsweep_app)
endif()
# Which call limits the DLL search, on each kind of Windows.
drvsweep_unit_test(dll_search_test ${CMAKE_CURRENT_LIST_DIR}/dll_search_test.cpp)
if(NOT WIN32)
    target_link_libraries(dll_search_test PRIVATE drvsweep_app)
endif()
