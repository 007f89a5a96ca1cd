# Every code sample of docs/GUIDE.md run against the registered DLL on a
# scratch Wine prefix of each platform family, its output compared with the
# output the guide shows. C++ samples are built with the project's compiler.
foreach(family ${DEZIVERO_FAMILIES})
    add_test(NAME guide_samples_${family}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/guide_samples.sh
                     ${CMAKE_BINARY_DIR} ${family} ${CMAKE_CXX_COMPILER} $<TARGET_FILE:DeZIVero>)
    set_tests_properties(guide_samples_${family} PROPERTIES TIMEOUT 300 ENVIRONMENT "LC_ALL=C.UTF-8")
endforeach()
