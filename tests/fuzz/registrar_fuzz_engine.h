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
//     cannot take back" below).
//
// The state just before the failing block comes from a run of the script cut
// after the last root block that completed; where that is, and which status
// the run must end with, comes from RegisterWalk, a reading of the script in
// register mode that touches no registry.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake_machine.h"
#include "server/registrar.h"
#include "server/registrar_parser.h"
#include "server/registrar_tables.h"
#include "server/registrar_text.h"
#include "server/registrar_tokens.h"
#include "tests/fuzz/registrar_fuzz_mutations.h"

namespace registrar_fuzz {

using platform::fake::Machine;
using platform::fake::Value;
using server::registrar::ScriptReader;

inline char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// The fake registry compares names by ASCII case only; so does the checker.
inline std::string Upper(std::string text) {
    for (char& c : text) c = UpperAscii(c);
    return text;
}

inline constexpr const char* kRootShortNames[] = {"HKCR", "HKCU", "HKLM", "HKU",
                                                  "HKPD", "HKCC", "HKDD"};

// The roots' numbers run from 0x80000000 in the order of kRootShortNames.
inline const char* RootShortName(HKEY root) {
    for (DWORD i = 0; i < std::size(kRootShortNames); ++i)
        if (root == platform::PredefinedKey(0x80000000u + i)) return kRootShortNames[i];
    return "?";
}

// ---- Registry snapshots ------------------------------------------------------------------

struct Snapshot {
    std::set<std::string> keys;                                        // upper-case paths
    std::map<std::pair<std::string, std::string>, Value> values;       // (path, name), upper
};

inline void SnapshotKey(const Machine& m, const std::string& path, Snapshot& s) {
    const std::string upper = Upper(path);
    s.keys.insert(upper);
    for (const std::string& name : m.ValueNames(path)) {
        const Value* value = m.FindValue(path, name);
        if (value) s.values[{upper, Upper(name)}] = *value;
    }
    for (const std::string& sub : m.Subkeys(path)) SnapshotKey(m, path + "\\" + sub, s);
}

inline Snapshot Take(const Machine& m) {
    Snapshot s;
    for (const char* root : kRootShortNames) SnapshotKey(m, root, s);
    return s;
}

// ---- Starting states ---------------------------------------------------------------------

enum Baseline { kEmpty, kShared, kRegistered, kHostile, kBaselineCount };

inline void ComponentEntries(Machine& m) {
    const std::string cls = "HKCR\\CLSID\\{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}";
    const char* name = "Orvane Hardware Finder Control";
    m.Sz("HKCR\\Orvane.VXR.ZEKO.HWInfo.1", "", name)
        .Sz("HKCR\\Orvane.VXR.ZEKO.HWInfo.1\\CLSID", "", "{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}")
        .Sz("HKCR\\Orvane.VXR.ZEKO.HWInfo", "", name)
        .Sz("HKCR\\Orvane.VXR.ZEKO.HWInfo\\CLSID", "", "{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}")
        .Sz("HKCR\\Orvane.VXR.ZEKO.HWInfo\\CurVer", "", "Orvane.VXR.ZEKO.HWInfo.1")
        .Sz(cls, "", name)
        .Sz(cls + "\\ProgID", "", "Orvane.VXR.ZEKO.HWInfo.1")
        .Sz(cls + "\\VersionIndependentProgID", "", "Orvane.VXR.ZEKO.HWInfo")
        .Key(cls + "\\Programmable")
        .Sz(cls + "\\InprocServer32", "", "C:\\Program Files\\DeZIVero\\DeZIVero.DLL")
        .Sz(cls + "\\InprocServer32", "ThreadingModel", "Apartment")
        .Sz(cls + "\\TypeLib", "", "{7A31C480-52E6-4B1F-A0D7-3C94E18B6F25}");
}

// Other software's keys, several of them named by the corpus scripts.
inline void SharedEntries(Machine& m) {
    m.Sz("HKCR\\CLSID\\{Other}\\InprocServer32", "", "other.dll")
        .Sz("HKCR\\CLSID\\{Other}\\InprocServer32", "ThreadingModel", "Both")
        .Key("HKCR\\Keep")
        .Key("HKCR\\A\\Stray")
        .Sz("HKCR\\K", "", "old")
        .Sz("HKCR\\K", "named", "n")
        .Key("HKCR\\TypeLib\\X")
        .Key("HKCR\\Programmable")
        .Dword("HKLM\\Software\\Shared\\Sub", "count", 3)
        .Sz("HKCU\\Software", "", "user");
}

// Content no real registration leaves, below names the scripts use: subkey
// and value names longer than the interpreter's buffers, many values, a
// chain of keys 31 deep, a large value.
inline void HostileEntries(Machine& m) {
    m.Key("HKCR\\K\\" + std::string(300, 'L') + "\\x")
        .Sz("HKCR\\A", std::string(300, 'v'), "long name")
        .Raw("HKCR\\TypeLib\\X", "big", REG_BINARY, std::string(5000, '\x5A'));
    for (int i = 0; i < 100; ++i) m.Dword("HKCR\\Programmable", "v" + std::to_string(i), i);
    std::string chain = "HKCR\\Keep";
    for (int i = 0; i < 30; ++i) chain += "\\D";
    m.Key(chain);
}

inline void Arrange(Machine& m, int baseline) {
    if (baseline >= kShared) SharedEntries(m);
    if (baseline >= kRegistered) ComponentEntries(m);
    if (baseline >= kHostile) HostileEntries(m);
}

inline const Snapshot& ArrangedSnapshot(int baseline) {
    static const std::vector<Snapshot> snapshots = [] {
        std::vector<Snapshot> all;
        for (int b = 0; b < kBaselineCount; ++b) {
            Machine m;
            Arrange(m, b);
            all.push_back(Take(m));
        }
        return all;
    }();
    return snapshots[baseline];
}

// ---- The register-mode reading -----------------------------------------------------------
//
// What the undo cannot take back. The undo walks the failing block's entries
// again in unregister mode, and that walk spares, by its own rules:
//   1. every key entry of a block from a NoRemove entry on (the mark holds
//      for the later entries of the block);
//   2. the keys whose blocks enclose the point of failure: a key is deleted
//      only after its block is walked, and where the text itself is at fault
//      the walk stops at the same token;
//   3. a key that has a subkey when the walk comes back to it, even when the
//      walk then deletes that subkey as the one bearing the key's own name;
//   4. the unnamed value that a key entry wrote into a key that stays.
// These are the exemptions of a strictly checked block. Beyond them the
// walk's reach depends on more than the text, and the block is checked
// loosely (nothing invented, deletions named) when:
//   5. an entry of the block cannot be opened again - a Delete entry, or a
//      second entry for a key that a ForceRemove, a Delete or the walk itself
//      removed - for the rest of the block is then walked in the skip state;
//   6. the two modes read tokens differently: a token beginning with "{" but
//      not "{" after a key (register mode: the next key; unregister mode: a
//      block), a block after a Delete entry, an "=" right after a block's
//      "}" (register mode: a key named "="; unregister mode: an assignment
//      passed over);
//   7. a key name is longer than the 259 bytes remembered for its deletion;
//      it is never deleted, lest a cut name delete another key (the real
//      registry refuses such names when they are created; the described one
//      does not);
//   8. a key name holds a 0x5C trail byte, which the described registry
//      takes for a separator.

struct RegisterWalk {
    HRESULT status = S_OK;
    size_t goodEnd = 0;        // offset just after the last root block that completed
    bool insideBlock = false;  // the failure came inside a root block: its undo ran
    bool loose = false;                // cases 5 to 8 above
    const char* looseReason = "";
    std::vector<std::string> exempt;  // upper-case paths the undo may leave (cases 1 and 2)
};

class Walker {
public:
    explicit Walker(const char* text) : text_(text), reader_(new ScriptReader(text)) {}

    RegisterWalk Walk() {
        HRESULT hr;
        for (;;) {
            reader_->SkipWhiteSpace();
            if (reader_->AtEnd()) return result_;
            if (FAILED(hr = reader_->Next())) return Fail(hr);
            const HKEY root = server::registrar::FindRootKey(reader_->Token());
            if (!root) return Fail(DISP_E_EXCEPTION);
            if (FAILED(hr = reader_->Next())) return Fail(hr);
            if (reader_->First() != '{') return Fail(DISP_E_EXCEPTION);
            // Only the failing block is undone; what earlier blocks did stays.
            result_.loose = false;
            result_.looseReason = "";
            result_.exempt.clear();
            if (FAILED(hr = Block(RootShortName(root), 1))) {
                result_.insideBlock = true;
                return Fail(hr);
            }
            result_.goodEnd = static_cast<size_t>(reader_->Position() - text_);
        }
    }

private:
    RegisterWalk Fail(HRESULT hr) {
        result_.status = hr;
        return result_;
    }

    void Loose(const char* reason) {
        if (!result_.loose) result_.looseReason = reason;
        result_.loose = true;
    }

    static bool KeyNameAccepted(const char* name) {
        if (*name == '\0') return false;
        for (const char* p = name; *p != '\0'; p = CharNextA(p))
            if (*p == '\\') return false;
        return true;
    }

    HRESULT Block(const std::string& path, unsigned depth) {
        using server::registrar::Keyword;
        if (depth > server::registrar::kMaxBlockDepth) return DISP_E_EXCEPTION;
        std::set<std::string> names;
        bool noRemove = false;
        HRESULT hr;
        if (FAILED(hr = reader_->Next())) return hr;
        while (reader_->First() != '}') {
            const Keyword keyword = server::registrar::FindKeyword(reader_->Token());
            if (keyword == Keyword::Val) {
                if (FAILED(hr = reader_->Next())) return hr;
                if (reader_->Length() > server::registrar::kMaxName) return DISP_E_EXCEPTION;
                if (FAILED(hr = reader_->Next())) return hr;
                if (reader_->First() != '=') return DISP_E_EXCEPTION;
                if (FAILED(hr = Value())) return hr;
                continue;
            }
            if (keyword != Keyword::None && FAILED(hr = reader_->Next())) return hr;
            if (!KeyNameAccepted(reader_->Token())) return DISP_E_EXCEPTION;
            if (keyword == Keyword::NoRemove) noRemove = true;
            const std::string name = reader_->Token();
            if (name.size() > server::registrar::kMaxName) Loose("key name too long to remember");
            if (name.find('\\') != std::string::npos) Loose("trail byte 0x5C in a key name");
            if (!names.insert(Upper(name)).second) Loose("key named twice in one block");
            if (keyword == Keyword::Delete) {
                Loose("Delete entry");
                if (FAILED(hr = reader_->Next())) return hr;
                if (FAILED(hr = PassOver())) return hr;
                if (reader_->First() == '{') Loose("block after a Delete entry");
                continue;
            }
            const std::string child = path + "\\" + Upper(name);
            if (noRemove) result_.exempt.push_back(child);
            if (FAILED(hr = reader_->Next())) return hr;
            if (reader_->First() == '=' && FAILED(hr = Value())) return hr;
            if (std::strcmp(reader_->Token(), "{") == 0) {
                if (FAILED(hr = Block(child, depth + 1))) {
                    result_.exempt.push_back(child);
                    return hr;
                }
                if (FAILED(hr = reader_->Next())) return hr;
                if (reader_->First() == '=') Loose("assignment after a block");
            } else if (reader_->First() == '{') {
                Loose("token that begins with a brace after a key");
            }
        }
        return S_OK;
    }

    HRESULT Value() {
        HRESULT hr;
        if (FAILED(hr = reader_->Next())) return hr;
        DWORD type = REG_NONE;
        if (!server::registrar::FindValueType(reader_->Token(), &type)) return DISP_E_EXCEPTION;
        if (FAILED(hr = reader_->Next())) return hr;
        if (type == REG_BINARY) {
            size_t characters = 0;
            for (const char* p = reader_->Token(); *p != '\0'; p = CharNextA(p)) ++characters;
            if (characters % 2 != 0) return E_FAIL;
        }
        return reader_->Next();
    }

    HRESULT PassOver() {
        if (reader_->First() != '=') return S_OK;
        HRESULT hr;
        if (FAILED(hr = reader_->Next())) return hr;
        if (FAILED(hr = reader_->Next())) return hr;
        return reader_->Next();
    }

    const char* text_;
    std::unique_ptr<ScriptReader> reader_;
    RegisterWalk result_;
};

// Every token the interpreter can read from the text, upper-case, with the
// pieces the fake registry makes of a name that holds a 0x5C trail byte.
inline std::set<std::string> NamedTokens(const char* text) {
    std::set<std::string> names;
    auto reader = std::make_unique<ScriptReader>(text);
    for (;;) {
        reader->SkipWhiteSpace();
        if (reader->AtEnd() || FAILED(reader->Next())) break;
        const std::string token = Upper(reader->Token());
        names.insert(token);
        size_t start = 0;
        for (size_t cut; (cut = token.find('\\', start)) != std::string::npos; start = cut + 1)
            names.insert(token.substr(start, cut - start));
        names.insert(token.substr(start));
    }
    return names;
}

// ---- Comparing states --------------------------------------------------------------------

// What a change from `before` to `after` may hold.
struct Allowance {
    bool newEntries = false;      // keys and values may appear (named by the script)
    bool changedValues = false;   // existing values may take other data
    // After an undo: new keys only where exempt (or above an exempt key
    // that remains), new or changed values only as the unnamed value of a
    // key that existed before or of such a key.
    bool undo = false;
    std::vector<std::string> exempt;
};

inline std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = path.find('\\');
    while (start != std::string::npos) {
        const size_t end = path.find('\\', start + 1);
        parts.push_back(path.substr(start + 1, end == std::string::npos ? end : end - start - 1));
        start = end;
    }
    return parts;
}

inline bool AnyComponentNamed(const std::string& path, const std::set<std::string>& named) {
    for (const std::string& part : Components(path))
        if (named.count(part)) return true;
    return false;
}

inline bool AllComponentsNamed(const std::string& path, const std::set<std::string>& named) {
    for (const std::string& part : Components(path))
        if (!named.count(part)) return false;
    return true;
}

inline bool IsRootPath(const std::string& path) { return path.find('\\') == std::string::npos; }

inline void Compare(const Snapshot& before, const Snapshot& after,
                    const std::set<std::string>& named, const Allowance& allow,
                    std::vector<std::string>& problems) {
    // New keys that an undo may leave: the exempt ones, and every key above
    // one of them. A key that has a subkey when the undo comes back to it
    // stays, even where the undo then deletes that subkey as the one that
    // bears the key's own name.
    std::set<std::string> spared;
    if (allow.undo) {
        for (const std::string& path : allow.exempt) {
            for (std::string p = path; !IsRootPath(p); p.resize(p.rfind('\\')))
                if (!spared.insert(p).second) break;
        }
    }
    for (const std::string& key : after.keys) {
        if (before.keys.count(key)) continue;
        if (!allow.newEntries && !allow.undo) problems.push_back("new key " + key);
        else if (!AllComponentsNamed(key, named)) problems.push_back("invented key " + key);
        else if (allow.undo && !spared.count(key)) problems.push_back("new key left " + key);
    }
    for (const auto& entry : after.values) {
        const std::string& key = entry.first.first;
        const std::string& name = entry.first.second;
        const std::string where = key + " :" + (name.empty() ? "@" : name);
        const auto old = before.values.find(entry.first);
        const bool isNew = old == before.values.end();
        if (!isNew && old->second.type == entry.second.type &&
            old->second.bytes == entry.second.bytes)
            continue;
        if (!allow.undo && (isNew ? !allow.newEntries : !allow.changedValues)) {
            problems.push_back((isNew ? "new value " : "changed value ") + where);
        } else if (!name.empty() && !named.count(name)) {
            problems.push_back("invented value " + where);
        } else if (allow.undo) {
            const bool keyKept = before.keys.count(key) || spared.count(key);
            if (!name.empty() || !keyKept)
                problems.push_back((isNew ? "new value left " : "changed value left ") + where);
        }
    }
    for (const std::string& key : before.keys) {
        if (!after.keys.count(key) && !AnyComponentNamed(key, named))
            problems.push_back("unnamed key deleted " + key);
    }
    for (const auto& entry : before.values) {
        const std::string& key = entry.first.first;
        if (after.values.count(entry.first) || !after.keys.count(key)) continue;
        if (!named.count(entry.first.second) && !AnyComponentNamed(key, named))
            problems.push_back("unnamed value deleted " + key + " :" + entry.first.second);
    }
}

// ---- Guarded memory ----------------------------------------------------------------------

constexpr size_t kPage = 4096;

// Text alone at one edge of readable pages: either ending right before a page
// that may not be touched, or starting right after one. The text's pages are
// read-only, so a write to the caller's text faults too.
class GuardedText {
public:
    GuardedText(const std::string& text, bool atEnd) {
        const size_t bytes = text.size() + 1;
        const size_t dataPages = (bytes + kPage - 1) / kPage;
        size_ = (dataPages + 1) * kPage;
        base_ = static_cast<char*>(
            VirtualAlloc(nullptr, size_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (!base_) return;
        char* data = atEnd ? base_ : base_ + kPage;
        char* guard = atEnd ? base_ + dataPages * kPage : base_;
        std::memset(data, 0xCC, dataPages * kPage);
        text_ = atEnd ? data + dataPages * kPage - bytes : data;
        std::memcpy(text_, text.c_str(), bytes);
        DWORD old = 0;
        VirtualProtect(guard, kPage, PAGE_NOACCESS, &old);
        VirtualProtect(data, dataPages * kPage, PAGE_READONLY, &old);
    }
    ~GuardedText() {
        if (base_) VirtualFree(base_, 0, MEM_RELEASE);
    }
    GuardedText(const GuardedText&) = delete;
    GuardedText& operator=(const GuardedText&) = delete;

    const char* Text() const { return text_; }

private:
    char* base_ = nullptr;
    char* text_ = nullptr;
    size_t size_ = 0;
};

// A heap for the interpreter's own buffers (the expanded text, the parser)
// that puts each block against a page that may not be touched. Blocks are
// rounded to 8 bytes for the parser's alignment; the few bytes between a
// block's end and the page are sentinels, checked when the block is freed.
class GuardedHeap {
public:
    static const server::registrar::TextHeap& Heap() {
        static constexpr server::registrar::TextHeap heap{Alloc, Realloc, Free};
        return heap;
    }
    static std::vector<std::string>& Problems() {
        static std::vector<std::string> problems;
        return problems;
    }
    // Makes allocation number `failAt` (1 for the first; 0 for none) fail,
    // as a heap out of memory would.
    static void Start(unsigned failAt) {
        Problems().clear();
        State() = {failAt, 0, false};
    }
    static bool Failed() { return State().failed; }
    static size_t Outstanding() { return Blocks().size(); }

private:
    struct Block {
        char* base;
        size_t bytes;
    };
    static std::map<void*, Block>& Blocks() {
        static std::map<void*, Block> blocks;
        return blocks;
    }
    struct FailState {
        unsigned failAt;
        unsigned count;
        bool failed;
    };
    static FailState& State() {
        static FailState state{0, 0, false};
        return state;
    }

    static void* Alloc(size_t bytes) noexcept {
        if (++State().count == State().failAt) {
            State().failed = true;
            return nullptr;
        }
        const size_t rounded = (bytes + 7) & ~static_cast<size_t>(7);
        const size_t dataPages = (rounded + kPage - 1) / kPage;
        if (dataPages == 0 || dataPages > 0x10000) return nullptr;
        char* base = static_cast<char*>(VirtualAlloc(nullptr, (dataPages + 1) * kPage,
                                                     MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (!base) return nullptr;
        DWORD old = 0;
        VirtualProtect(base + dataPages * kPage, kPage, PAGE_NOACCESS, &old);
        char* block = base + dataPages * kPage - rounded;
        std::memset(block, 0xCC, rounded);
        Blocks()[block] = Block{base, bytes};
        return block;
    }

    static void* Realloc(void* block, size_t bytes) noexcept {
        void* grown = Alloc(bytes);
        if (!grown || !block) return grown;
        const size_t old = Blocks()[block].bytes;
        std::memcpy(grown, block, std::min(old, bytes));
        Free(block);
        return grown;
    }

    static void Free(void* block) noexcept {
        auto it = Blocks().find(block);
        if (it == Blocks().end()) {
            Problems().push_back("free of a block the heap never gave");
            return;
        }
        const size_t rounded = (it->second.bytes + 7) & ~static_cast<size_t>(7);
        const auto* bytes = static_cast<const unsigned char*>(block);
        for (size_t i = it->second.bytes; i < rounded; ++i)
            if (bytes[i] != 0xCC) Problems().push_back("write past the end of a block");
        VirtualFree(it->second.base, 0, MEM_RELEASE);
        Blocks().erase(it);
    }
};

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
