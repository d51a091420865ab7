# The ANSI and UTF-16 conversions of the Win32 backend.
if(WIN32)
    add_executable(ansi_text_test ${CMAKE_CURRENT_LIST_DIR}/ansi_text_test.cpp)
    target_link_libraries(ansi_text_test PRIVATE drvsweep_win32 ${DRVSWEEP_GTEST_MAIN})
    add_test(NAME ansi_text_test COMMAND ansi_text_test)
endif()
