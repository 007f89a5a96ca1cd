# Self-registration through regsvr32, checked against the registry of a
# fresh prefix by a small reader of HKEY_CLASSES_ROOT.
add_executable(server_registry_check ${CMAKE_CURRENT_LIST_DIR}/server_registry_check.cpp)
target_link_libraries(server_registry_check PRIVATE advapi32 user32)
target_link_options(server_registry_check PRIVATE -static -static-libgcc -static-libstdc++)
add_dependencies(server_registry_check DeZIVero)
add_wine_test(server_registration COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/server_registration.sh
              $<TARGET_FILE:DeZIVero> $<TARGET_FILE:server_registry_check>
              ${CMAKE_CURRENT_BINARY_DIR}/server_registration_wine)
set_tests_properties(server_registration PROPERTIES
    PASS_REGULAR_EXPRESSION "server_registration: [1-9][0-9]* passed, 0 failed")
