# The library driven in-process by a client of its own: class object, lock
# counting, identity, aggregation, safety options and dispatch before and
# after self-registration, in a fresh prefix.
add_executable(server_client ${CMAKE_CURRENT_LIST_DIR}/server_client.cpp ${GEN_DIR}/DeZIVero_i.c)
target_include_directories(server_client PRIVATE ${GEN_DIR} ${CMAKE_SOURCE_DIR})
target_link_libraries(server_client PRIVATE oleaut32 ole32 uuid)
target_link_options(server_client PRIVATE -static -static-libgcc -static-libstdc++)
add_dependencies(server_client DeZIVero dezivero_idl)
add_wine_test(server_client COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/server_client.sh
              $<TARGET_FILE:DeZIVero> $<TARGET_FILE:server_client>
              ${CMAKE_CURRENT_BINARY_DIR}/server_client_wine)
set_tests_properties(server_client PROPERTIES
    PASS_REGULAR_EXPRESSION "server_client: [1-9][0-9]* passed, 0 failed")

# The same on the 9x family.
if("9x" IN_LIST DEZIVERO_FAMILIES)
    add_wine_test(server_client_9x COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/server_client.sh
                  $<TARGET_FILE:DeZIVero> $<TARGET_FILE:server_client>
                  ${CMAKE_CURRENT_BINARY_DIR}/server_client_9x_wine win98)
    set_tests_properties(server_client_9x PROPERTIES
        PASS_REGULAR_EXPRESSION "platform 1,.*server_client: [1-9][0-9]* passed, 0 failed")
endif()
