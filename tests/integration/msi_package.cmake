# The MSI package installed, upgraded and removed by msiexec in a WoW64
# prefix. Part of the 64-bit build, which builds the package (DEZIVERO_MSI).
if(DEZIVERO_MSI)
    add_test(NAME msi_package
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/msi_package.sh ${DEZIVERO_MSI} ${DEZIVERO_VERSION}
                     ${DEZIVERO_MANUFACTURER} $<TARGET_FILE:DeZIVero> ${DEZIVERO_DLL32}
                     ${CMAKE_BINARY_DIR}/wine-msi)
    set_tests_properties(msi_package PROPERTIES TIMEOUT 900
        PASS_REGULAR_EXPRESSION "msi_package: [1-9][0-9]* passed, 0 failed")
endif()
