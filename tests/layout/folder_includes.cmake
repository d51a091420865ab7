cmake_minimum_required(VERSION 3.25)

# Fails when a product folder includes a header of a folder it must not use. The folders form
# layers: platform/ below the logic, discovery/ below removal/, and the two front ends, ui/ and
# cli/, side by side, neither including the other; app/ alone, above both, may use them all.
# Run as: cmake -DSOURCE_DIR=<repository> -P folder_includes.cmake
set(allowed_platform platform)
set(allowed_discovery platform discovery)
set(allowed_removal platform discovery removal)
set(allowed_ui platform discovery removal ui res)
set(allowed_cli platform discovery removal cli res)
set(allowed_app platform discovery removal ui cli res app)

set(failures "")
foreach(folder platform discovery removal ui cli app)
    file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
    foreach(source IN LISTS sources)
        file(STRINGS ${source} includes REGEX "^#include \"[^/\"]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^#include \"([^/\"]+)/.*" "\\1" included "${line}")
            if(NOT included IN_LIST allowed_${folder})
                file(RELATIVE_PATH name ${SOURCE_DIR} ${source})
                string(APPEND failures "  ${name} includes ${included}/\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(failures)
    message(FATAL_ERROR "Headers included across the folders' layers:\n${failures}")
endif()
