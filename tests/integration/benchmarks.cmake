# The benchmark's programs (benchmarks/), and a smoke test that runs the
# benchmark command at a tiny size, so that it keeps working: it checks that
# the tables name every member with a figure and that the chart is drawn, and
# asserts no time.
foreach(program member_cost find_device_cost)
    add_executable(${program} ${CMAKE_SOURCE_DIR}/benchmarks/${program}.cpp ${GEN_DIR}/DeZIVero_i.c)
    add_dependencies(${program} dezivero_idl)
    set_target_properties(${program} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_include_directories(${program} PRIVATE ${GEN_DIR} ${CMAKE_SOURCE_DIR}/tests/tools)
    target_link_libraries(${program} PRIVATE ole32 oleaut32 uuid advapi32)
    target_link_options(${program} PRIVATE -static -static-libgcc -static-libstdc++)
endforeach()
target_sources(member_cost PRIVATE ${CMAKE_SOURCE_DIR}/benchmarks/bare_calls.cpp)

add_test(NAME benchmark_smoke
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/benchmark_smoke.sh ${CMAKE_BINARY_DIR})
set_tests_properties(benchmark_smoke PROPERTIES TIMEOUT 900)
