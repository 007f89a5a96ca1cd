// The dispatch fuzzer's calls: each one of a family chosen at random from
// the seed, built from the argument pools, made, checked and tallied.
#pragma once

#include <windows.h>

#include <cstdint>

#include "DeZIVero_h.h"
#include "tests/fuzz/dispatch_fuzz_arguments.h"
#include "tests/fuzz/dispatch_fuzz_report.h"
#include "tests/tools/dezivero_members.h"

namespace dispatch_fuzz {

struct InvokeShape;

class Fuzzer {
public:
    Fuzzer(Pools& pools, uint64_t seed) : pools_(pools), random_(seed) {}

    IDispatch* dispatch = nullptr;
    IDeZiVero2* object = nullptr;

    void One();

private:
    void Invoke(const InvokeShape& s);
    void FillArguments(InvokeShape& s, const members::Member& m, unsigned count);
    const members::Member& AnyMember();
    WORD FittingFlags(const members::Member& m);
    void Record(Family family, const InvokeShape& s, const wchar_t* name);

    void ByDispid();
    void WrongFlags();
    void WrongCount();
    void UnknownDispid();
    void OddParams();
    void ByName();
    void Vtable();
    void Safety();

    Pools& pools_;
    Random random_;
};

}  // namespace dispatch_fuzz
