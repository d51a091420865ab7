# The folders' layers (folder_includes.cmake), checked once, on the host.
if(WIN32)
    return()
endif()

add_test(NAME layout.folder_includes COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
    -P ${CMAKE_CURRENT_LIST_DIR}/folder_includes.cmake)
