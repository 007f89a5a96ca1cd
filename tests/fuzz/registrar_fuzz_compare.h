// The registrar fuzzer's check of a change between two registry states:
// which new keys and values it may hold, and that every deletion is of
// something the script names.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "tests/fuzz/registrar_fuzz_states.h"

namespace registrar_fuzz {

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

}  // namespace registrar_fuzz
