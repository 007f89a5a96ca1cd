# The registered DLL called by name from VBScript and JScript under cscript, on
# a scratch Wine prefix of each platform family.
foreach(family ${DEZIVERO_FAMILIES})
    add_test(NAME script_members_${family}
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/integration/script_members.sh
                     ${CMAKE_BINARY_DIR} ${family})
    set_tests_properties(script_members_${family} PROPERTIES TIMEOUT 300)
endforeach()

# The C++ client of benchmarks/dispatch_cost.sh: binds through the interface
# table and through IDispatch. Built with the tests, run only by the benchmark.
add_executable(dispatch_cost ${CMAKE_SOURCE_DIR}/benchmarks/dispatch_cost.cpp)
add_dependencies(dispatch_cost dezivero_idl)
set_target_properties(dispatch_cost PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_include_directories(dispatch_cost PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(dispatch_cost PRIVATE ole32 oleaut32 uuid)
target_link_options(dispatch_cost PRIVATE -static -static-libgcc -static-libstdc++)
