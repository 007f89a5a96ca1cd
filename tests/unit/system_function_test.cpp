// Functions looked up by name: each described machine decides whether its system has them, and
// a slot asks once per machine.
#include <gtest/gtest.h>

#include "platform/system_function.h"
#include "tests/fake_machine/fake_machine.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;

DWORD WINAPI AnswerSeven(DWORD) { return 7; }
DWORD WINAPI AnswerNine(DWORD) { return 9; }

platform::SystemFunction<DWORD(WINAPI*)(DWORD)> gProbe{"CfgMgr32", "ProbeFunction"};
platform::SystemFunction<DWORD(WINAPI*)(DWORD)> gKernelProbe{"kernel32.dll", "ProbeFunction"};

TEST(SystemFunction, EachMachineAnswersWhetherItHasTheFunction) {
    struct Row {
        const char* name;
        const char* library;  // where the machine offers the function; null: nowhere
        DWORD (WINAPI* function)(DWORD);
        DWORD expected;       // 0: the lookup answers null
    };
    constexpr Row kRows[] = {
        {"offered in its library", "cfgmgr32.dll", &AnswerSeven, 7},
        {"library named without .dll", "CFGMGR32", &AnswerNine, 9},
        {"library absent from the machine", nullptr, nullptr, 0},
        {"function offered by another library", "shlwapi.dll", &AnswerSeven, 0},
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        auto machine = Machine::Win10();
        if (row.library) machine->Offer(row.library, "ProbeFunction", row.function);
        Scope scope(*machine);
        const auto probe = gProbe.Get();
        EXPECT_EQ(row.expected, probe ? probe(0) : 0u);
        EXPECT_EQ(probe, gProbe.Get());
        EXPECT_EQ(row.library && row.expected ? 1 : 0, machine->Calls("GetProcAddress"));
    }
}

TEST(SystemFunction, Kernel32OffersWhatTheMachineAdds) {
    auto with = Machine::Win10();
    with->Offer("kernel32.dll", "ProbeFunction", &AnswerNine);
    {
        Scope scope(*with);
        ASSERT_NE(nullptr, gKernelProbe.Get());
        EXPECT_EQ(9u, gKernelProbe.Get()(0));
    }
    auto without = Machine::Nt4();
    Scope scope(*without);
    EXPECT_EQ(nullptr, gKernelProbe.Get());
}

}  // namespace
