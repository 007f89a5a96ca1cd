# Today's machine through the registered DLL (current_machine.sh): an NT 4.0
# prefix answering as NT 4.0 did, and a Windows 10 prefix seeded as Windows 11,
# each for the DLL of the build; the 64-bit build adds the 32-bit DLL
# (DEZIVERO_DLL32) under WOW64 in a WoW64 prefix seeded as Windows 11.
set(current_machine_runs "win11 $<TARGET_FILE:DeZIVero>")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    list(APPEND current_machine_runs "nt40 $<TARGET_FILE:DeZIVero>")
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND DEZIVERO_DLL32)
    list(APPEND current_machine_runs "win11 ${DEZIVERO_DLL32} wow64")
endif()
foreach(run ${current_machine_runs})
    separate_arguments(arguments UNIX_COMMAND "${run}")
    list(GET arguments 0 mode)
    set(name current_machine_${mode})
    if(run MATCHES "wow64$")
        set(name ${name}_wow64)
    endif()
    add_test(NAME ${name}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/current_machine.sh ${CMAKE_BINARY_DIR} ${arguments})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300 ENVIRONMENT "LC_ALL=C.UTF-8"
        PASS_REGULAR_EXPRESSION "current_machine \\([^)]*\\): passed")
endforeach()
