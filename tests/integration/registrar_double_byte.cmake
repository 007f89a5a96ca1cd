# The registrar's double-byte tests need the ANSI code page to be 932; Wine
# takes it from LC_ALL, so they run in a unit-test process of their own.
add_test(NAME registrar_double_byte
         COMMAND unit_tests --gtest_filter=RegistrarDoubleByte.*)
set_tests_properties(registrar_double_byte PROPERTIES
    ENVIRONMENT "${WINE_TEST_ENVIRONMENT};LC_ALL=ja_JP.UTF-8"
    FAIL_REGULAR_EXPRESSION "SKIPPED|FAILED")
