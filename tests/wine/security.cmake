# The administrators-only descriptor of the hand-over and log folders, read from memory under
# Wine, which keeps no descriptor on files (see docs/wine-facts.md).
if(NOT WIN32)
    return()
endif()

add_executable(administrators_only_security_test
    ${CMAKE_CURRENT_LIST_DIR}/administrators_only_security_test.cpp)
target_link_libraries(administrators_only_security_test PRIVATE drvsweep_win32
    ${DRVSWEEP_GTEST_MAIN})
add_test(NAME administrators_only_security_test COMMAND administrators_only_security_test)
