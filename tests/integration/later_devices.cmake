# Device queries on prefixes set to Windows 10 and XP, seeded with the device
# layouts of those systems; and the dispatch fuzzer on the Windows 10 one.
foreach(layout win10 xp)
    add_test(NAME later_devices_${layout}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/later_devices.sh
                     ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/DeZIVero.DLL ${layout})
    set_tests_properties(later_devices_${layout} PROPERTIES TIMEOUT 300)
endforeach()
add_test(NAME dispatch_fuzz_win10
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/dispatch_fuzz.sh ${CMAKE_BINARY_DIR} win10 20000)
set_tests_properties(dispatch_fuzz_win10 PROPERTIES TIMEOUT 300)
