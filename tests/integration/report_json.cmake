# The JSON report checked against the text report of the same prefix, and its
# fleet collection, on a scratch Wine prefix of each platform family. Under
# C.UTF-8 Wine takes the code pages the check expects: ANSI 1252, OEM 437.
foreach(family ${DEZIVERO_FAMILIES})
    add_test(NAME report_json_${family}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/report_json.sh
                     ${CMAKE_BINARY_DIR} ${family} $<TARGET_FILE:DeZIVero>)
    set_tests_properties(report_json_${family} PROPERTIES TIMEOUT 300 ENVIRONMENT "LC_ALL=C.UTF-8")
endforeach()
