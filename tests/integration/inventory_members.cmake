# IDeZiVero2's members on a scratch prefix of each platform family, through a
# compiled client: the table and IDispatch agree, untrusted callers get no
# firmware value that singles the machine out, and the answers match the host
# (memory from /proc/meminfo, processors from nproc, the prefix's
# architecture) and the values seeded into the prefix.
add_executable(inventory_client ${CMAKE_CURRENT_LIST_DIR}/inventory_client.cpp ${GEN_DIR}/DeZIVero_i.c)
target_include_directories(inventory_client PRIVATE ${GEN_DIR} ${CMAKE_SOURCE_DIR})
target_link_libraries(inventory_client PRIVATE oleaut32 ole32 uuid)
target_link_options(inventory_client PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(inventory_client PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
add_dependencies(inventory_client DeZIVero dezivero_idl seed_registry)

foreach(family ${DEZIVERO_FAMILIES})
    add_test(NAME inventory_members_${family}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/inventory_members.sh ${CMAKE_BINARY_DIR} ${family})
    set_tests_properties(inventory_members_${family} PROPERTIES TIMEOUT 300
        PASS_REGULAR_EXPRESSION "inventory_members: [1-9][0-9]* passed, 0 failed")
endforeach()
