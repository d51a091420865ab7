# The import check of the shipped program of this preset (see check_imports.py), and the
# checker's own test. Both run on the host: objdump reads the program, no Wine is needed.
if(NOT WIN32)
    return()
endif()

find_program(DRVSWEEP_PYTHON python3 REQUIRED)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(import_target x64)
    set(import_objdump x86_64-w64-mingw32-objdump)
else()
    set(import_target x86)
    set(import_objdump i686-w64-mingw32-objdump)
endif()
get_filename_component(shipped_name ${DRVSWEEP_SHIPPED_PROGRAM} NAME_WE)

add_test(NAME imports.${shipped_name} COMMAND ${DRVSWEEP_PYTHON}
    ${CMAKE_CURRENT_LIST_DIR}/check_imports.py --list ${CMAKE_CURRENT_LIST_DIR}/windows_imports.txt
    --target ${import_target} --objdump ${import_objdump} ${DRVSWEEP_SHIPPED_PROGRAM})
set_tests_properties(imports.${shipped_name} PROPERTIES FIXTURES_REQUIRED shipped_programs)
add_test(NAME imports.checker_self_test COMMAND ${DRVSWEEP_PYTHON}
    ${CMAKE_CURRENT_LIST_DIR}/check_imports_test.py)
