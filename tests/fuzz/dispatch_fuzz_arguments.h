// The dispatch fuzzer's arguments: a seeded generator and pools built once
// of strings around the library's fixed buffers, integers around every power
// of two and variants of every other type, from which each call picks.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <string>
#include <vector>

#include "DeZIVero_h.h"

namespace dispatch_fuzz {

// ---- Random numbers (SplitMix64: small, fast, reproducible from the seed) ----------------

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    unsigned Below(unsigned n) { return n ? static_cast<unsigned>(Next() % n) : 0; }
    bool Percent(unsigned p) { return Below(100) < p; }

private:
    uint64_t state_;
};

// ---- Argument pools ----------------------------------------------------------------------

enum PoolKind { kText, kNumber, kOdd };

struct PoolEntry {
    PoolKind kind;
    VARIANT value;
};

class Pools {
public:
    std::vector<PoolEntry> entries;
    std::vector<std::string> labels;
    std::vector<int> texts, numbers, odds;

    int Add(PoolKind kind, const std::string& label, const VARIANT& v) {
        entries.push_back({kind, v});
        labels.push_back(label);
        const int id = static_cast<int>(entries.size() - 1);
        (kind == kText ? texts : kind == kNumber ? numbers : odds).push_back(id);
        return id;
    }

    void AddText(const std::string& label, BSTR text) {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = text;
        Add(kText, label, v);
    }

    void AddNumber(LONG n) {
        for (int id : numbers) {
            if (V_I4(&entries[id].value) == n) return;
        }
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_I4;
        V_I4(&v) = n;
        Add(kNumber, "I4 " + std::to_string(n), v);
    }

    void AddOdd(const std::string& label, const VARIANT& v) { Add(kOdd, label, v); }

    BSTR Text(int id) const { return V_BSTR(&entries[id].value); }
    LONG Number(int id) const { return V_I4(&entries[id].value); }
    bool IsByRef(int id) const { return (V_VT(&entries[id].value) & VT_BYREF) != 0; }

    int Pick(Random& random, VARTYPE wanted) {
        const unsigned roll = random.Below(100);
        if (wanted == VT_BSTR) {
            if (roll < 70) return texts[random.Below(texts.size())];
            if (roll < 80) return numbers[random.Below(numbers.size())];
        } else if (wanted == VT_I4) {
            if (roll < 70) return numbers[random.Below(numbers.size())];
            if (roll < 80) return texts[random.Below(texts.size())];
        }
        return odds[random.Below(odds.size())];
    }
};

// Device keys of the seeded machine, so that GetDeviceInfo also gets keys
// that exist.
std::vector<std::wstring> HarvestKeys(IDeZiVero* object);

void BuildTexts(Pools& pools, const std::vector<std::wstring>& deviceKeys);
void BuildNumbers(Pools& pools);
// self: an object that VT_DISPATCH arguments point at.
void BuildOdds(Pools& pools, IDispatch* self);

// Whether the storage that BYREF arguments point into still holds what it was given.
bool ByRefTargetsIntact();

}  // namespace dispatch_fuzz
