# Lifecycle of the library under Wine: repeated self-registration leaves the
# registry as one registration does; repeated loading and unloading in one
# process leaks no handle, heap or memory; objects on several apartment
# threads answer as one thread does. The suite runs CI-sized counts; the
# scripts take larger ones for a full run.
foreach(tool lifecycle_load lifecycle_threads)
    add_executable(${tool} ${CMAKE_CURRENT_LIST_DIR}/${tool}.cpp ${GEN_DIR}/DeZIVero_i.c)
    set_target_properties(${tool} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_include_directories(${tool} PRIVATE ${GEN_DIR} ${CMAKE_SOURCE_DIR})
    target_link_libraries(${tool} PRIVATE oleaut32 ole32 uuid psapi)
    target_link_options(${tool} PRIVATE -static -static-libgcc -static-libstdc++)
    add_dependencies(${tool} DeZIVero dezivero_idl seed_registry)
endforeach()

add_test(NAME lifecycle_registry
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/lifecycle_registry.sh ${CMAKE_BINARY_DIR} 20)
set_tests_properties(lifecycle_registry PROPERTIES TIMEOUT 300)

foreach(family ${DEZIVERO_FAMILIES})
    add_test(NAME lifecycle_process_${family}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/lifecycle_process.sh ${CMAKE_BINARY_DIR} ${family} 200 50 50)
    set_tests_properties(lifecycle_process_${family} PROPERTIES TIMEOUT 300)
endforeach()
