# The registrar fuzzer as a program of its own: registrar_fuzz COUNT SEED runs
# any number of inputs (a long run is started by hand). The test runs a small
# count in code page 932, where lead bytes and 0x5C trail bytes mean
# something; the unit tests run another share in the default code page.
add_executable(registrar_fuzz ${CMAKE_SOURCE_DIR}/tests/fuzz/registrar_fuzz.cpp)
target_link_libraries(registrar_fuzz PRIVATE dezivero_core platform_fake)
target_link_options(registrar_fuzz PRIVATE -static -static-libgcc -static-libstdc++)
add_test(NAME registrar_fuzz_cp932 COMMAND registrar_fuzz 3000 932)
set_tests_properties(registrar_fuzz_cp932 PROPERTIES
    ENVIRONMENT "${WINE_TEST_ENVIRONMENT};LC_ALL=ja_JP.UTF-8"
    PASS_REGULAR_EXPRESSION "code page 932.*registrar_fuzz: 3000 passed, 0 failed")
