// Functions that some systems of the floor lack, found by name in a library
// already loaded: found where the system has them, null where it has not.
#include <gtest/gtest.h>

#include <string>

#include "platform/loaded_function.h"
#include "test_support.h"

namespace {

struct LookupRow {
    const char* name;
    const char* library;
    const char* function;
    bool found;
};

const LookupRow kLookupRows[] = {
    {"PowerStatusOfKernel32", "kernel32.dll", "GetSystemPowerStatus", true},
    {"NumberConversionOfOleaut32", "oleaut32.dll", "VarUI4FromStr", true},
    {"FunctionTheLibraryLacks", "kernel32.dll", "GetSystemPowerStatus2", false},
    {"LibraryNotLoadedIsNotLoaded", "dezivero_absent.dll", "GetSystemPowerStatus", false},
};

class LoadedFunctionTest : public testing::TestWithParam<LookupRow> {};

TEST_P(LoadedFunctionTest, FindsWhatTheLoadedLibraryExports) {
    const LookupRow& row = GetParam();
    using Routine = void(WINAPI*)();
    EXPECT_EQ(row.found, platform::LoadedFunction<Routine>(row.library, row.function) != nullptr);
}

INSTANTIATE_TEST_SUITE_P(Rows, LoadedFunctionTest, testing::ValuesIn(kLookupRows),
                         test_support::RowName());

}  // namespace
