// The registrar fuzzer's registries: snapshots of a described registry that
// compare names as it does (by ASCII case), and the starting states an input
// runs over - empty, other software's keys, the component registered, and
// hostile content below the names the scripts use.
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/fake_machine/fake_machine.h"

namespace registrar_fuzz {

using platform::fake::Machine;
using platform::fake::Value;

inline char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// The fake registry compares names by ASCII case only; so does the checker.
inline std::string Upper(std::string text) {
    for (char& c : text) c = UpperAscii(c);
    return text;
}

inline constexpr const char* kRootShortNames[] = {"HKCR", "HKCU", "HKLM", "HKU",
                                                  "HKPD", "HKCC", "HKDD"};

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

}  // namespace registrar_fuzz
