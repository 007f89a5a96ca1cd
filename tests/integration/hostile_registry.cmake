# The built library in process against hostile registry contents written into
# a scratch prefix of each platform family: caller keys outside the device
# roots, texts of every awkward size, numbers of the wrong type, a chain of
# 1000 keys and ten thousand devices of one class (with search times printed
# as figures).
add_executable(hostile_client ${CMAKE_SOURCE_DIR}/tests/tools/hostile_client.cpp ${GEN_DIR}/DeZIVero_i.c)
target_include_directories(hostile_client PRIVATE ${GEN_DIR})
target_link_libraries(hostile_client PRIVATE oleaut32 ole32 uuid advapi32)
target_link_options(hostile_client PRIVATE -static -static-libgcc -static-libstdc++)
add_dependencies(hostile_client DeZIVero dezivero_idl)
set_target_properties(hostile_client PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

foreach(family ${DEZIVERO_FAMILIES})
    add_test(NAME hostile_registry_${family}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/hostile_registry.sh
                     $<TARGET_FILE:DeZIVero> $<TARGET_FILE:hostile_client>
                     ${CMAKE_BINARY_DIR}/wine-hostile-${family} ${family})
    set_tests_properties(hostile_registry_${family} PROPERTIES TIMEOUT 900
        PASS_REGULAR_EXPRESSION "hostile_client: [1-9][0-9]* passed, 0 failed")
endforeach()
