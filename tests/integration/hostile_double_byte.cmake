# The device-key check walks keys by characters of the ANSI code page; its
# double-byte test needs code page 932, which Wine takes from LC_ALL, so it
# runs in a unit-test process of its own.
add_test(NAME hostile_double_byte
         COMMAND unit_tests --gtest_filter=HostileDoubleByte.*)
set_tests_properties(hostile_double_byte PROPERTIES
    ENVIRONMENT "${WINE_TEST_ENVIRONMENT};LC_ALL=ja_JP.UTF-8"
    FAIL_REGULAR_EXPRESSION "SKIPPED|FAILED")
