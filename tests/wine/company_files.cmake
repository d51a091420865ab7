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

# The seeding refuses what it cannot make true rather than run a test on a prefix that differs
# from the simulation: a company no file above names, and a company for a file the scenario's
# windir/ lacks. The scenarios are written into the build folder; the program is never started.
if(WIN32)
    set(seeding ${CMAKE_BINARY_DIR}/seeding_fixtures)
    file(WRITE ${seeding}/unknown_company/windir/system32/Orbital.dll "placeholder\n")
    file(WRITE ${seeding}/unknown_company/file_facts
        "protected system32\\Orbital.dll\ncompany system32\\Orbital.dll Orbital Scanners Ltd.\n")
    file(WRITE ${seeding}/company_of_no_file/windir/system32/Orbital.dll "placeholder\n")
    file(WRITE ${seeding}/company_of_no_file/file_facts
        "company system32\\OrbitalTwain.dll Quorin Imaging\n")
    set(expected_failures
        "unknown_company|no [^ ]*/company_files/orbital_scanners_ltd_.dll names the company \"Orbital Scanners Ltd.\""
        "company_of_no_file|system32.OrbitalTwain.dll is no file of ")
    foreach(entry IN LISTS expected_failures)
        string(REPLACE "|" ";" fields "${entry}")
        list(GET fields 0 scenario)
        list(GET fields 1 message)
        add_test(NAME wine_run_seeding.${scenario}
            COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/wine_run.sh
                $<TARGET_FILE:company_quorin_imaging>)
        set_tests_properties(wine_run_seeding.${scenario} PROPERTIES
            ENVIRONMENT "DRVSWEEP_SCENARIO=${scenario};DRVSWEEP_FIXTURES=${seeding}"
            PASS_REGULAR_EXPRESSION "${message}")
    endforeach()
endif()
