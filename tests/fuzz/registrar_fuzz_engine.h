// The registrar fuzzer's run of one input and the invariants it checks.
//
// Each input runs over a fresh described registry (one of three starting
// states), in register or unregister mode, with the text either in an
// ordinary buffer followed by sentinel bytes or alone at the edge of a page
// that may not be touched, and then:
//   - the status must be S_OK or one of the interpreter's failure statuses;
//   - no registry key may be left open;
//   - a failed expansion changes nothing, and neither does a run whose
//     memory runs out (a share of the guarded runs fail one allocation);
//   - the interpreter frees what it allocates;
//   - unregister mode writes nothing: what is left is what was there, less
//     deletions of keys and values that the script names;
//   - a register run invents nothing: every key and value it leaves is named
//     by a token of the script, and it deletes only what the script names;
//     one that succeeds leaves the same state when run a second time;
//   - a register run that fails inside a root block is undone: against the
//     state just before that block, nothing new remains but what the
//     undo's walk in unregister mode spares by design (see "What the undo
//     cannot take back" in registrar_fuzz_walk.h).
//
// The state just before the failing block comes from a run of the script cut
// after the last root block that completed; where that is, and which status
// the run must end with, comes from RegisterWalk, a reading of the script in
// register mode that touches no registry.
//
// The registries and snapshots are in registrar_fuzz_states.h, the reading in
// registrar_fuzz_walk.h, the comparison of states in registrar_fuzz_compare.h,
// the guarded text and heap in registrar_fuzz_memory.h; this file runs an input
// and checks it, and tallies a series for the report.
#pragma once

#include <windows.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "server/registrar/registrar.h"
#include "server/registrar/registrar_text.h"
#include "tests/fake_machine/fake_machine.h"
#include "tests/fuzz/registrar_fuzz_compare.h"
#include "tests/fuzz/registrar_fuzz_memory.h"
#include "tests/fuzz/registrar_fuzz_mutations.h"
#include "tests/fuzz/registrar_fuzz_states.h"
#include "tests/fuzz/registrar_fuzz_walk.h"

namespace registrar_fuzz {

// ---- One input ---------------------------------------------------------------------------

enum Guard { kSentinels, kPageAfter, kPageBefore };

struct Input {
    std::string text;
    bool doRegister = true;
    int baseline = kEmpty;
    int guard = kSentinels;
    unsigned failAllocation = 0;  // with a guard page: this allocation of the run fails
};

inline Input MakeInput(uint64_t seed, uint64_t index) {
    Rng rng(InputSeed(seed, index));
    Input input;
    input.doRegister = !rng.OneIn(6);
    input.baseline = static_cast<int>(rng.Below(kBaselineCount));
    if (!input.doRegister && !rng.OneIn(4)) input.baseline = rng.OneIn(3) ? kHostile : kRegistered;
    const size_t guard = rng.Below(8);
    input.guard = guard == 0 ? kPageAfter : guard == 1 ? kPageBefore : kSentinels;
    Mutator mutator(rng);
    input.text = mutator.Make();
    if (input.guard != kSentinels && rng.OneIn(4))
        input.failAllocation = static_cast<unsigned>(rng.Between(1, 3));
    return input;
}

inline const server::ReplacementMap& FuzzMap() {
    static server::ReplacementMap* map = [] {
        auto* m = new server::ReplacementMap;
        for (const MapEntry& entry : MapEntries()) m->Add(entry.name, entry.value);
        return m;
    }();
    return *map;
}

inline bool IsKnownStatus(HRESULT hr) {
    return hr == S_OK || hr == DISP_E_EXCEPTION || hr == E_FAIL || hr == E_OUTOFMEMORY;
}

// Which check an input met, by what the run did.
enum class Check {
    ExpansionFailed,     // nothing may change
    Unregistered,        // nothing new, deletions named
    Registered,          // nothing invented, deletions named
    FailedOutsideBlock,  // the same state as after the blocks that completed
    UndoneStrictly,      // nothing new left but what the undo spares by design
    UndoneLoosely,       // nothing invented, deletions named
    OutOfMemory,         // E_OUTOFMEMORY, nothing may change
};

inline constexpr const char* kCheckNames[] = {
    "expansion failed", "unregistered", "registered", "failed outside a block",
    "undone, checked strictly", "undone, checked loosely", "out of memory"};

// For studying the loosely checked blocks: check them strictly too, and let
// the findings show what the undo leaves there.
inline bool& StrictEverywhere() {
    static bool strict = false;
    return strict;
}

struct Outcome {
    HRESULT status = S_OK;
    Check check = Check::Registered;
    const char* looseReason = "";
    std::vector<std::string> problems;
};

inline HRESULT RunText(const char* text, bool doRegister, const server::registrar::TextHeap& heap) {
    return server::registrar::RunScript(text, doRegister, FuzzMap(), heap);
}

// Runs the text as the input says, over machine, and checks what the caller
// owns: its text unchanged, the sentinels after it intact.
inline HRESULT RunGuarded(const Input& input, Machine& machine, std::vector<std::string>& problems) {
    platform::fake::Scope scope(machine);
    if (input.guard != kSentinels) {
        GuardedText guarded(input.text, input.guard == kPageAfter);
        if (!guarded.Text()) {
            problems.push_back("no memory for the guarded text");
            return S_OK;
        }
        GuardedHeap::Start(input.failAllocation);
        const HRESULT hr = RunText(guarded.Text(), input.doRegister, GuardedHeap::Heap());
        for (const std::string& p : GuardedHeap::Problems()) problems.push_back(p);
        if (GuardedHeap::Outstanding() != 0) problems.push_back("the interpreter's memory not freed");
        return hr;
    }
    constexpr size_t kSentinelBytes = 64;
    std::vector<char> buffer(input.text.begin(), input.text.end());
    buffer.push_back('\0');
    buffer.insert(buffer.end(), kSentinelBytes, static_cast<char>(0xCC));
    const HRESULT hr = server::RunRegistrationScript(buffer.data(), input.doRegister, FuzzMap());
    if (std::memcmp(buffer.data(), input.text.c_str(), input.text.size() + 1) != 0)
        problems.push_back("the caller's text was changed");
    for (size_t i = input.text.size() + 1; i < buffer.size(); ++i)
        if (static_cast<unsigned char>(buffer[i]) != 0xCC) {
            problems.push_back("sentinel after the caller's text overwritten");
            break;
        }
    return hr;
}

inline std::string HexStatus(HRESULT hr) {
    char text[16];
    wsprintfA(text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// A tree deletion (ForceRemove, Delete) reads subkey names into 256 bytes and
// stops at the first name that does not fit, leaving that subkey and the ones
// after it. The real registry holds no such name in a single-byte code page
// (255 characters at most), the described registry does; where the first
// registration made one, a second one's ForceRemove stops at it and may keep
// subkeys the first one removed.
inline bool HasNewNameBeyondTreeDeletion(const Snapshot& before, const Snapshot& after) {
    constexpr size_t kTreeDeletionNameBytes = 256;
    for (const std::string& key : after.keys) {
        if (before.keys.count(key)) continue;
        if (key.size() - key.rfind('\\') - 1 >= kTreeDeletionNameBytes) return true;
    }
    return false;
}

// Every entry of a script that registered has the last word on what it
// names, so a second registration over the result leaves it as it is.
inline void RegisterAgain(const Input& input, Machine& machine, const Snapshot& once,
                          std::vector<std::string>& problems) {
    HRESULT hr;
    {
        platform::fake::Scope scope(machine);
        hr = server::RunRegistrationScript(input.text.c_str(), true, FuzzMap());
    }
    if (hr != S_OK) problems.push_back("a second registration ends with " + HexStatus(hr));
    if (machine.OpenKeys() != 0) problems.push_back("registry keys left open the second time");
    std::vector<std::string> changes;
    Compare(once, Take(machine), {}, Allowance{}, changes);
    if (!changes.empty()) problems.push_back("a second registration changes: " + changes.front());
}

inline Outcome RunInput(const Input& input) {
    Outcome out;
    Machine machine;
    Arrange(machine, input.baseline);
    const Snapshot& initial = ArrangedSnapshot(input.baseline);
    out.status = RunGuarded(input, machine, out.problems);
    if (!IsKnownStatus(out.status)) out.problems.push_back("status " + HexStatus(out.status));
    if (machine.OpenKeys() != 0) out.problems.push_back("registry keys left open");
    const Snapshot after = Take(machine);
    if (input.failAllocation != 0 && GuardedHeap::Failed()) {
        // Memory runs out before the first key is opened: the run stops
        // with nothing written.
        out.check = Check::OutOfMemory;
        if (out.status != E_OUTOFMEMORY) out.problems.push_back("out of memory, yet " + HexStatus(out.status));
        Compare(initial, after, {}, Allowance{}, out.problems);
        return out;
    }

    server::registrar::ExpandedText expanded(server::registrar::ModuleTextHeap());
    const HRESULT expansion = expanded.Expand(input.text.c_str(), FuzzMap());
    if (FAILED(expansion)) {
        out.check = Check::ExpansionFailed;
        if (out.status != expansion)
            out.problems.push_back("expansion fails with " + HexStatus(expansion) +
                                   ", the run with " + HexStatus(out.status));
        Compare(initial, after, {}, Allowance{}, out.problems);
        return out;
    }
    const std::set<std::string> named = NamedTokens(expanded.Text());

    if (!input.doRegister) {
        out.check = Check::Unregistered;
        Compare(initial, after, named, Allowance{}, out.problems);
        return out;
    }
    const RegisterWalk walk = Walker(expanded.Text()).Walk();
    if (walk.status != out.status)
        out.problems.push_back("a register reading ends with " + HexStatus(walk.status) +
                               ", the run with " + HexStatus(out.status));
    Allowance loose;
    loose.newEntries = true;
    loose.changedValues = true;
    if (walk.status == S_OK) {
        Compare(initial, after, named, loose, out.problems);
        if (out.status == S_OK && !HasNewNameBeyondTreeDeletion(initial, after))
            RegisterAgain(input, machine, after, out.problems);
        return out;
    }

    // The state just before the failing root block: the blocks before it,
    // run alone (percent signs doubled so the text expands to itself).
    Snapshot before = initial;
    if (walk.goodEnd != 0) {
        std::string prefix;
        const char* end = expanded.Text() + walk.goodEnd;
        for (const char* p = expanded.Text(); p < end;) {
            const char* next = CharNextA(p);
            prefix.append(p, next);
            if (next - p == 1 && *p == '%') prefix += '%';  // not the trail byte of a pair
            p = next;
        }
        Machine again;
        Arrange(again, input.baseline);
        platform::fake::Scope scope(again);
        const HRESULT hr = server::RunRegistrationScript(prefix.c_str(), true, FuzzMap());
        if (hr != S_OK) out.problems.push_back("the completed blocks alone end with " + HexStatus(hr));
        before = Take(again);
    }
    if (!walk.insideBlock) {
        out.check = Check::FailedOutsideBlock;
        // Nothing is undone and nothing more was done: the same state exactly.
        Compare(before, after, {}, Allowance{}, out.problems);
        return out;
    }
    out.looseReason = walk.looseReason;
    if (walk.loose && !StrictEverywhere()) {
        out.check = Check::UndoneLoosely;
        Compare(before, after, named, loose, out.problems);
        return out;
    }
    out.check = Check::UndoneStrictly;
    Allowance undo;
    undo.undo = true;
    undo.exempt = walk.exempt;
    Compare(before, after, named, undo, out.problems);
    return out;
}

// A C-style rendering of a script for reports.
inline std::string Escaped(const std::string& text, size_t limit = 400) {
    std::string out;
    for (size_t i = 0; i < text.size() && i < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\\' || c == '"') out += '\\', out += static_cast<char>(c);
        else if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            wsprintfA(hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    if (text.size() > limit) out += "...(" + std::to_string(text.size()) + " bytes)";
    return out;
}

// Tallies of a series of inputs.
struct Tally {
    size_t inputs = 0;
    size_t registerRuns = 0;
    size_t unregisterRuns = 0;
    size_t guarded = 0;
    size_t violations = 0;
    std::map<Check, size_t> checks;
    std::map<HRESULT, size_t> statuses;
    std::map<std::string, size_t> looseReasons;

    void Add(const Input& input, const Outcome& out) {
        ++inputs;
        ++(input.doRegister ? registerRuns : unregisterRuns);
        if (input.guard != kSentinels) ++guarded;
        ++statuses[out.status];
        ++checks[out.check];
        if (out.check == Check::UndoneLoosely) ++looseReasons[out.looseReason];
        if (!out.problems.empty()) ++violations;
    }
};

inline const char* StatusName(HRESULT hr) {
    switch (hr) {
        case S_OK: return "S_OK";
        case DISP_E_EXCEPTION: return "DISP_E_EXCEPTION";
        case E_FAIL: return "E_FAIL";
        case E_OUTOFMEMORY: return "E_OUTOFMEMORY";
    }
    return "other";
}

}  // namespace registrar_fuzz
