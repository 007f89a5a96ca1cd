// Functions that some systems of the floor lack, looked up by name through the
// seam: found where the library exports them, null where the library lacks the
// function or the system the library. oleaut32 is no described library, so the
// real one answers; kernel32 answers what the described machine offers.
#include <gtest/gtest.h>

#include "platform/system_function.h"
#include "test_support.h"
#include "tests/fake_machine/fake_machine.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;
using Routine = void(WINAPI*)();

void WINAPI Offered() {}

struct LookupRow {
    const char* name;
    bool offeredByKernel32;  // the machine offers kernel32's "ProbeFunction"
    bool found;
};

const LookupRow kLookupRows[] = {
    {"NumberConversionOfOleaut32", false, true},
    {"FunctionTheLibraryLacks", false, false},
    {"LibraryTheSystemLacks", false, false},
    {"FunctionTheMachineOffers", true, true},
    {"FunctionTheMachineLacks", false, false},
};

// One slot per row, in the rows' order.
platform::SystemFunction<Routine> gSlots[] = {
    {"oleaut32.dll", "VarUI4FromStr"},
    {"oleaut32.dll", "VarUI4FromStr2"},
    {"dezivero_absent.dll", "GetSystemPowerStatus"},
    {"kernel32.dll", "ProbeFunction"},
    {"kernel32.dll", "ProbeFunction"},
};
static_assert(sizeof gSlots / sizeof gSlots[0] == sizeof kLookupRows / sizeof kLookupRows[0]);

class SystemFunctionLibrary : public testing::TestWithParam<size_t> {};

TEST_P(SystemFunctionLibrary, FindsWhatTheLibraryExports) {
    const LookupRow& row = kLookupRows[GetParam()];
    SCOPED_TRACE(row.name);
    auto machine = Machine::Win10();
    if (row.offeredByKernel32) machine->Offer("kernel32.dll", "ProbeFunction", &Offered);
    Scope scope(*machine);
    EXPECT_EQ(row.found, gSlots[GetParam()].Get() != nullptr);
}

INSTANTIATE_TEST_SUITE_P(Rows, SystemFunctionLibrary,
                         testing::Range<size_t>(0, sizeof kLookupRows / sizeof kLookupRows[0]),
                         [](const auto& info) { return std::string(kLookupRows[info.param].name); });

}  // namespace
