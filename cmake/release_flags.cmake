# Compiler and linker settings of the shipped programs (the release presets).
#
# The same sources give the same bytes, wherever and whenever they are built: the linker writes
# no build time into the PE header (its time stamp is 0, or SOURCE_DATE_EPOCH when the release
# is configured with it set: the linker then writes that time), and source and build folders
# are written as relative paths wherever the compiler would record them (__FILE__, debug info).
# The resource compiler records neither times nor paths.
#
# Each function and each object gets a section of its own, so that the linker can drop those
# nothing calls or reads: most of it unused code of the static C++ runtime.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
    -ffile-prefix-map=${CMAKE_BINARY_DIR}=build
    -ffunction-sections -fdata-sections)
add_link_options(-Wl,--gc-sections)
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    add_link_options(-Wl,--no-insert-timestamp)
endif()
