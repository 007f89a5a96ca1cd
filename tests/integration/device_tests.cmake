# Device queries of both platform families against devices seeded into the
# registry of a scratch Wine prefix. seed_registry.exe writes what `reg import`
# cannot: keys below volatile keys and keys under HKEY_DYN_DATA.
add_executable(seed_registry ${CMAKE_SOURCE_DIR}/tests/tools/seed_registry.cpp)
set_target_properties(seed_registry PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_options(seed_registry PRIVATE -static -static-libgcc -static-libstdc++)

foreach(family ${DEZIVERO_FAMILIES})
    add_test(NAME device_queries_${family}
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/integration/device_queries.sh
                     ${CMAKE_BINARY_DIR} ${family})
    set_tests_properties(device_queries_${family} PROPERTIES TIMEOUT 300)
endforeach()
