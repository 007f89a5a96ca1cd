# The registered DLL called by name from VBScript and JScript under cscript, on
# a scratch Wine prefix of each platform family.
foreach(family ${DEZIVERO_FAMILIES})
    add_test(NAME script_members_${family}
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/integration/script_members.sh
                     ${CMAKE_BINARY_DIR} ${family})
    set_tests_properties(script_members_${family} PROPERTIES TIMEOUT 300)
endforeach()
