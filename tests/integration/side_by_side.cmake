# The 64-bit and the 32-bit library registered side by side in one WoW64
# prefix, each answering the scripting host of its own bitness, and each
# unregistered alone while the other stays registered and answering. Part of
# the 64-bit build; DEZIVERO_DLL32 names the 32-bit build's library.
if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND DEZIVERO_DLL32)
    add_test(NAME side_by_side
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/side_by_side.sh
                     $<TARGET_FILE:DeZIVero> ${DEZIVERO_DLL32} ${CMAKE_BINARY_DIR}/wine-side-by-side)
    set_tests_properties(side_by_side PROPERTIES TIMEOUT 600
        PASS_REGULAR_EXPRESSION "side_by_side: [1-9][0-9]* passed, 0 failed")
endif()
