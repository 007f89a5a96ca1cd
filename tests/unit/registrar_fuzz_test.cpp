// The registrar under mutated registration scripts: 5,000 inputs of a fixed
// seed must keep every invariant of tests/fuzz/registrar_fuzz_engine.h. The
// checker and the register-mode reading it relies on are tested here too, so
// that a silent checker cannot pass for a sound interpreter. Long runs use the
// registrar_fuzz program.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "registrar_test_support.h"
#include "tests/fake_machine/fake_machine.h"
#include "tests/fuzz/registrar_fuzz_engine.h"

namespace {

using namespace registrar_fuzz;

constexpr unsigned long long kSeed = 20000;
constexpr unsigned long long kInputs = 5000;

TEST(RegistrarFuzz, FiveThousandInputsKeepEveryInvariant) {
    Tally tally;
    std::vector<std::string> findings;
    for (unsigned long long i = 0; i < kInputs; ++i) {
        const Input input = MakeInput(kSeed, i);
        const Outcome out = RunInput(input);
        tally.Add(input, out);
        if (!out.problems.empty() && findings.size() < 5)
            findings.push_back("input " + std::to_string(i) + ": " + out.problems.front() +
                               "\n  \"" + Escaped(input.text) + "\"");
    }
    std::cout << "[ statuses ]";
    for (const auto& s : tally.statuses) std::cout << ' ' << StatusName(s.first) << ' ' << s.second;
    for (const auto& c : tally.checks)
        std::cout << "; " << kCheckNames[static_cast<int>(c.first)] << ' ' << c.second;
    std::cout << "; guarded " << tally.guarded << '\n';
    EXPECT_EQ(0u, tally.violations);
    for (const std::string& f : findings) ADD_FAILURE() << f;

    // The inputs reach every outcome the invariants speak of.
    EXPECT_GT(tally.statuses[S_OK], kInputs / 20);
    EXPECT_GT(tally.statuses[DISP_E_EXCEPTION], kInputs / 20);
    EXPECT_GT(tally.statuses[E_FAIL], kInputs / 100);
    EXPECT_GT(tally.checks[Check::UndoneStrictly], kInputs / 10);
    EXPECT_GT(tally.checks[Check::FailedOutsideBlock], kInputs / 100);
    EXPECT_GT(tally.checks[Check::ExpansionFailed], kInputs / 100);
    EXPECT_GT(tally.checks[Check::OutOfMemory], kInputs / 100);
    EXPECT_GT(tally.unregisterRuns, kInputs / 10);
    EXPECT_GT(tally.guarded, kInputs / 10);
}

TEST(RegistrarFuzz, InputsAreMadeAgainFromSeedAndIndex) {
    const Input a = MakeInput(7, 12345);
    const Input b = MakeInput(7, 12345);
    const Input c = MakeInput(7, 12346);
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.doRegister, b.doRegister);
    EXPECT_NE(a.text, c.text);
}

// ---- The register-mode reading ---------------------------------------------------------------

struct WalkCase {
    const char* name;
    const char* script;
    HRESULT status;
    const char* completed;  // the text of the root blocks that completed
    bool insideBlock;
    const char* looseReason;
    std::vector<std::string> exempt;
};

const WalkCase kWalkCases[] = {
    {"WholeScriptCompletes", "HKCR { A = s 'x' { val v = d 1 } } HKLM { B }", S_OK,
     "HKCR { A = s 'x' { val v = d 1 } } HKLM { B }", false, "", {}},
    {"FailureInSecondBlockKeepsTheFirst", "HKCR { A } HKCR { B = q x }", DISP_E_EXCEPTION,
     "HKCR { A }", true, "", {}},
    {"UnknownRootFailsOutsideAnyBlock", "HKCR { A } HKXX { B }", DISP_E_EXCEPTION, "HKCR { A }",
     false, "", {}},
    {"OddBinaryInNestedBlockLeavesItsKeyOnTheChain", "HKCR { A { B { val v = b 1 } } }", E_FAIL,
     "", true, "", {"HKCR\\A\\B", "HKCR\\A"}},
    {"NoRemoveMarksItsKeyAndLaterOnes", "HKCR { X NoRemove A B 'open", DISP_E_EXCEPTION, "", true,
     "", {"HKCR\\A", "HKCR\\B"}},
    {"DeleteEntryMakesTheUndoLoose", "HKCR { Delete A B = q x }", DISP_E_EXCEPTION, "", true,
     "Delete entry", {}},
    {"BraceTokenAfterKeyMakesTheUndoLoose", "HKCR { A {x B = q x }", DISP_E_EXCEPTION, "", true,
     "token that begins with a brace after a key", {}},
    {"DuplicateKeyMakesTheUndoLoose", "HKCR { A a = q x }", DISP_E_EXCEPTION, "", true,
     "key named twice in one block", {}},
    {"BlockBelowLevel256Fails", nullptr, DISP_E_EXCEPTION, "", true, "", {}},
};

std::string DeepScript() {
    std::string script = "HKCR {";
    for (int i = 0; i < 257; ++i) script += " K {";
    for (int i = 0; i < 258; ++i) script += " }";
    return script;
}

TEST(RegistrarFuzzWalk, ReadsAsRegisterModeDoes) {
    for (const WalkCase& c : kWalkCases) {
        const std::string script = c.script ? c.script : DeepScript();
        const RegisterWalk walk = Walker(script.c_str()).Walk();
        EXPECT_EQ(c.status, walk.status) << c.name;
        EXPECT_EQ(std::string(c.completed), script.substr(0, walk.goodEnd)) << c.name;
        EXPECT_EQ(c.insideBlock, walk.insideBlock) << c.name;
        EXPECT_STREQ(c.looseReason, walk.looseReason) << c.name;
        if (c.script) EXPECT_EQ(c.exempt, walk.exempt) << c.name;
        else EXPECT_EQ(256u, walk.exempt.size()) << c.name;
    }
}

TEST(RegistrarFuzzWalk, AgreesWithTheInterpreterOnTheComponentScript) {
    EXPECT_EQ(S_OK, Walker(registrar_test::kComponentScript).Walk().status);
}

// ---- The checker -----------------------------------------------------------------------------

Snapshot Snap(std::vector<std::string> keys,
              std::vector<std::vector<std::string>> values = {}) {
    Snapshot s;
    s.keys.insert("HKCR");
    for (const std::string& k : keys) s.keys.insert(k);
    for (const auto& v : values) s.values[{v[0], v[1]}] = Value{REG_SZ, v[2]};
    return s;
}

struct CompareCase {
    const char* name;
    Snapshot before;
    Snapshot after;
    std::set<std::string> named;
    Allowance allow;
    const char* problem;  // the first problem expected, or "" for none
};

Allowance UndoWith(std::vector<std::string> exempt) {
    Allowance a;
    a.undo = true;
    a.exempt = std::move(exempt);
    return a;
}

Allowance Success() {
    Allowance a;
    a.newEntries = true;
    a.changedValues = true;
    return a;
}

std::vector<CompareCase> CompareCases() {
    return {
        {"NewKeyLeftByUndoIsFlagged", Snap({}), Snap({"HKCR\\A"}), {"A"}, UndoWith({}),
         "new key left HKCR\\A"},
        {"ExemptKeyAndTheKeysAboveItMayStay", Snap({}), Snap({"HKCR\\A", "HKCR\\A\\B"}),
         {"A", "B"}, UndoWith({"HKCR\\A\\B"}), ""},
        {"KeyAboveAnExemptKeyStaysThoughThatKeyWentLater", Snap({}), Snap({"HKCR\\A"}),
         {"A", "B"}, UndoWith({"HKCR\\A\\B"}), ""},
        {"ExemptKeyDoesNotCoverItsSibling", Snap({}), Snap({"HKCR\\A", "HKCR\\C"}),
         {"A", "C"}, UndoWith({"HKCR\\A"}), "new key left HKCR\\C"},
        {"NamedValueLeftByUndoIsFlagged", Snap({"HKCR\\K"}), Snap({"HKCR\\K"}, {{"HKCR\\K", "V", "x"}}),
         {"K", "V"}, UndoWith({}), "new value left HKCR\\K :V"},
        {"DefaultValueOfAKeptSharedKeyMayChange", Snap({"HKCR\\K"}, {{"HKCR\\K", "", "old"}}),
         Snap({"HKCR\\K"}, {{"HKCR\\K", "", "new"}}), {"K"}, UndoWith({}), ""},
        {"DefaultValueOfASparedKeyMayStay", Snap({}), Snap({"HKCR\\N"}, {{"HKCR\\N", "", "x"}}),
         {"N"}, UndoWith({"HKCR\\N"}), ""},
        {"NamedValueOfASparedKeyIsFlagged", Snap({}), Snap({"HKCR\\N"}, {{"HKCR\\N", "V", "x"}}),
         {"N", "V"}, UndoWith({"HKCR\\N"}), "new value left HKCR\\N :V"},
        {"DeletionOfAnUnnamedKeyIsFlagged", Snap({"HKCR\\Other"}), Snap({}), {"A"}, Success(),
         "unnamed key deleted HKCR\\Other"},
        {"DeletionBelowANamedKeyIsAllowed", Snap({"HKCR\\A", "HKCR\\A\\Sub"}), Snap({}), {"A"},
         Success(), ""},
        {"KeyTheScriptNeverNamedIsInvented", Snap({}), Snap({"HKCR\\A", "HKCR\\A\\Z"}), {"A"},
         Success(), "invented key HKCR\\A\\Z"},
        {"UnregisterMayNotWriteANamedValue", Snap({"HKCR\\K"}), Snap({"HKCR\\K"}, {{"HKCR\\K", "V", "x"}}),
         {"K", "V"}, Allowance{}, "new value HKCR\\K :V"},
        {"UnregisterMayNotChangeAValue", Snap({"HKCR\\K"}, {{"HKCR\\K", "V", "a"}}),
         Snap({"HKCR\\K"}, {{"HKCR\\K", "V", "b"}}), {"K", "V"}, Allowance{},
         "changed value HKCR\\K :V"},
    };
}

TEST(RegistrarFuzzCheck, FlagsWhatTheInvariantsForbid) {
    for (const CompareCase& c : CompareCases()) {
        std::vector<std::string> problems;
        Compare(c.before, c.after, c.named, c.allow, problems);
        if (*c.problem == '\0') {
            EXPECT_TRUE(problems.empty()) << c.name << ": " << problems.front();
        } else {
            ASSERT_FALSE(problems.empty()) << c.name;
            EXPECT_EQ(c.problem, problems.front()) << c.name;
        }
    }
}

// A whole input through RunInput: an interpreter that left its failing block
// in place would be caught, and a limit of the undo is not counted against it.
TEST(RegistrarFuzzCheck, RunInputAcceptsTheUndoLimitsAndFlagsNothingElse) {
    Input input;
    input.text = "HKCR { X NoRemove A { val v = s 'x' } B = q x }";
    const Outcome spared = RunInput(input);
    EXPECT_EQ(DISP_E_EXCEPTION, spared.status);
    EXPECT_EQ(Check::UndoneStrictly, spared.check);
    EXPECT_TRUE(spared.problems.empty()) << spared.problems.front();
}

TEST(RegistrarFuzzCheck, ExpansionFailureMustChangeNothing) {
    Input input;
    input.text = "HKCR { A } HKCR { B = s '%Unknown%' }";
    const Outcome out = RunInput(input);
    EXPECT_EQ(DISP_E_EXCEPTION, out.status);
    EXPECT_TRUE(out.problems.empty()) << out.problems.front();
}

// A limit of the undo that the fuzzer met: a key that has a subkey when the
// undo comes back to it stays, even though the undo then deletes that subkey
// because it bears the key's own name. Here the subkey held the only key the
// undo had to spare (NoRemove K), so the outer "A" is left behind, empty.
TEST(RegistrarFuzzLimits, KeyWithASubkeyOfItsOwnNameStaysAfterThatSubkeyGoes) {
    platform::fake::Machine machine;
    EXPECT_EQ(DISP_E_EXCEPTION,
              registrar_test::RunOn(machine, "HKCR { A { A { NoRemove K { } } }", true));
    EXPECT_EQ("HKCR\nHKCR\\A\n", machine.Dump("HKCR"));
    EXPECT_EQ(0, machine.OpenKeys());
}

TEST(RegistrarFuzzCheck, SecondRegistrationIsComparedWithTheFirst) {
    Input input;
    input.text = "HKCR { ForceRemove A = s 'x' { B } }";
    Machine machine;
    std::vector<std::string> problems;
    RegisterAgain(input, machine, Take(machine), problems);
    ASSERT_EQ(1u, problems.size());
    EXPECT_EQ("a second registration changes: new key HKCR\\A", problems.front());
    problems.clear();
    RegisterAgain(input, machine, Take(machine), problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
}

// Each allocation of a run in turn fails: the expanded text, its growth for
// a long replacement, and the parser. Every one stops the run with
// E_OUTOFMEMORY before anything is written, and frees what was had.
TEST(RegistrarFuzzCheck, EachAllocationThatFailsStopsTheRunWithNothingWritten) {
    for (unsigned failAt = 1; failAt <= 4; ++failAt) {
        Input input;
        input.text = "HKCR { A = s '%Long%' }";
        input.guard = kPageAfter;
        input.failAllocation = failAt;
        const Outcome out = RunInput(input);
        EXPECT_EQ(failAt <= 3 ? E_OUTOFMEMORY : S_OK, out.status) << failAt;
        EXPECT_EQ(failAt <= 3 ? Check::OutOfMemory : Check::Registered, out.check) << failAt;
        EXPECT_TRUE(out.problems.empty()) << failAt << ": " << out.problems.front();
    }
}

// Another: a tree deletion reads subkey names into 256 bytes and stops at the
// first that does not fit, so ForceRemove keeps that subkey and those after
// it. (The real registry holds no such name in a single-byte code page.)
TEST(RegistrarFuzzLimits, ForceRemoveStopsAtASubkeyNameOf256Bytes) {
    struct Row {
        const char* name;
        size_t length;
        const char* after;
    };
    const Row rows[] = {
        {"NameOf255BytesIsDeletedWithTheRest", 255, "HKCR\nHKCR\\T\n"},
        {"NameOf256BytesStopsTheDeletion", 256, nullptr},
    };
    for (const Row& row : rows) {
        const std::string longName(row.length, 'M');
        platform::fake::Machine machine;
        machine.Key("HKCR\\T\\A").Key("HKCR\\T\\" + longName).Key("HKCR\\T\\Z");
        EXPECT_EQ(S_OK, registrar_test::RunOn(machine, "HKCR { ForceRemove T }", true)) << row.name;
        const std::string expected =
            row.after ? row.after
                      : "HKCR\nHKCR\\T\nHKCR\\T\\" + longName + "\nHKCR\\T\\Z\n";
        EXPECT_EQ(expected, machine.Dump("HKCR")) << row.name;
        EXPECT_EQ(0, machine.OpenKeys()) << row.name;
    }
}

// ---- Guarded memory --------------------------------------------------------------------------

DWORD Protection(const void* address) {
    MEMORY_BASIC_INFORMATION info{};
    if (VirtualQuery(address, &info, sizeof info) != sizeof info) return 0;
    return info.Protect;
}

TEST(RegistrarFuzzGuard, TextEndsRightBeforeAPageThatMayNotBeTouched) {
    const std::string text(5000, 'x');
    GuardedText guarded(text, true);
    ASSERT_NE(nullptr, guarded.Text());
    EXPECT_EQ(text, guarded.Text());
    EXPECT_EQ(static_cast<DWORD>(PAGE_READONLY), Protection(guarded.Text() + text.size()));
    EXPECT_EQ(static_cast<DWORD>(PAGE_NOACCESS), Protection(guarded.Text() + text.size() + 1));
}

TEST(RegistrarFuzzGuard, TextStartsRightAfterAPageThatMayNotBeTouched) {
    GuardedText guarded("HKCR { }", false);
    ASSERT_NE(nullptr, guarded.Text());
    EXPECT_EQ(static_cast<DWORD>(PAGE_READONLY), Protection(guarded.Text()));
    EXPECT_EQ(static_cast<DWORD>(PAGE_NOACCESS), Protection(guarded.Text() - 1));
}

TEST(RegistrarFuzzGuard, HeapBlockEndsAtItsGuardPageAndChecksItsSlack) {
    const server::registrar::TextHeap& heap = GuardedHeap::Heap();
    GuardedHeap::Start(0);
    auto* block = static_cast<unsigned char*>(heap.alloc(13));
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(static_cast<DWORD>(PAGE_NOACCESS), Protection(block + 16));
    block = static_cast<unsigned char*>(heap.realloc(block, 29));
    ASSERT_NE(nullptr, block);
    block[29] = 0;  // into the slack before the guard page
    heap.free(block);
    EXPECT_EQ(0u, GuardedHeap::Outstanding());
    ASSERT_EQ(1u, GuardedHeap::Problems().size());
    EXPECT_EQ("write past the end of a block", GuardedHeap::Problems().front());
    GuardedHeap::Problems().clear();
}

}  // namespace
