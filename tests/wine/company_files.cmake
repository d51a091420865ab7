# The version resources that wine_run.sh lays over the files a scenario's file_facts names a
# company for: <build folder>/company_files/<key>.dll, where <key> is the company's name in
# lower case with every character other than a letter or a digit made "_". A scenario may
# name only the companies listed here; the seeding fails on any other.
if(WIN32)
    # company, then the string table and the translation that names it. The maker's file lists
    # a German table only, as a maker's localised file may: its company is found through the
    # translation, not in one of the English tables tried after it.
    set(DRVSWEEP_COMPANY_FILES
        "Microsoft Corporation|040904B0|0x409, 1200"
        "Quorin Imaging|040704E4|0x407, 1252")
    foreach(entry IN LISTS DRVSWEEP_COMPANY_FILES)
        string(REPLACE "|" ";" fields "${entry}")
        list(GET fields 0 DRVSWEEP_COMPANY)
        list(GET fields 1 DRVSWEEP_STRING_TABLE)
        list(GET fields 2 DRVSWEEP_TRANSLATION)
        string(TOLOWER "${DRVSWEEP_COMPANY}" key)
        string(REGEX REPLACE "[^a-z0-9]" "_" key "${key}")
        configure_file(${CMAKE_CURRENT_LIST_DIR}/company_version.rc.in
            ${CMAKE_BINARY_DIR}/company_files/${key}.rc @ONLY)
        # No code, so no entry point and no runtime: the file exists for its resources alone.
        add_library(company_${key} MODULE ${CMAKE_BINARY_DIR}/company_files/${key}.rc)
        set_target_properties(company_${key} PROPERTIES PREFIX "" OUTPUT_NAME ${key}
            LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/company_files LINKER_LANGUAGE CXX)
        target_link_options(company_${key} PRIVATE -nostdlib -Wl,-e,0)
    endforeach()
endif()
