# The dispatch fuzzer against the registered library on a seeded prefix of
# each platform family: calls by DISPID and by name with hostile arguments,
# wrong flags and counts, null fields, and direct calls through the
# interface table. The suite runs a short count; dispatch_fuzz.sh takes a
# larger one for a full run.
set(DISPATCH_FUZZ_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz)
add_executable(dispatch_fuzz
    ${DISPATCH_FUZZ_DIR}/dispatch_fuzz.cpp
    ${DISPATCH_FUZZ_DIR}/dispatch_fuzz_arguments.cpp
    ${DISPATCH_FUZZ_DIR}/dispatch_fuzz_calls.cpp
    ${DISPATCH_FUZZ_DIR}/dispatch_fuzz_checks.cpp
    ${DISPATCH_FUZZ_DIR}/dispatch_fuzz_report.cpp
    ${GEN_DIR}/DeZIVero_i.c)
set_target_properties(dispatch_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_include_directories(dispatch_fuzz PRIVATE ${GEN_DIR} ${CMAKE_SOURCE_DIR})
target_link_libraries(dispatch_fuzz PRIVATE oleaut32 ole32 uuid)
target_link_options(dispatch_fuzz PRIVATE -static -static-libgcc -static-libstdc++)
add_dependencies(dispatch_fuzz DeZIVero dezivero_idl seed_registry)

foreach(family ${DEZIVERO_FAMILIES})
    add_test(NAME dispatch_fuzz_${family}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/dispatch_fuzz.sh ${CMAKE_BINARY_DIR} ${family} 5000)
    set_tests_properties(dispatch_fuzz_${family} PROPERTIES TIMEOUT 300)
endforeach()
