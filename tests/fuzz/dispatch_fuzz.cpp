// Dispatch fuzzer: drives the registered DeZIVero.DLL the way a hostile page
// or script host could, through IDispatch and through the interface table,
// with the argument values that ActiveX fuzzers use, and checks that the
// library neither faults nor answers out of shape.
//
// The object is created through the registry (ProgID, versioned ProgID or
// CLSID) and made anew every 2,000 calls. The argument pools are in
// dispatch_fuzz_arguments, the families of calls in dispatch_fuzz_calls, the
// checks on the answers in dispatch_fuzz_checks, and the fault handlers and
// the tally in dispatch_fuzz_report. Every 1,000 calls all heaps of the
// process are validated; at the end the library must be free to unload.
//
// Usage: dispatch_fuzz.exe [--calls N] [--seed S] [--crash-probe K]
// --crash-probe writes through a null pointer at call K, to show that a crash
// is caught and reported. Prints a histogram of the statuses returned and a
// last line "dispatch_fuzz: N passed, N failed".
#include <windows.h>
#include <ole2.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "DeZIVero_h.h"
#include "tests/fuzz/dispatch_fuzz_arguments.h"
#include "tests/fuzz/dispatch_fuzz_calls.h"
#include "tests/fuzz/dispatch_fuzz_checks.h"
#include "tests/fuzz/dispatch_fuzz_report.h"
#include "tests/tools/dezivero_members.h"

namespace {

using namespace dispatch_fuzz;
using members::kMembers;
using members::Member;

// ---- The object --------------------------------------------------------------------------

const wchar_t* const kProgIds[] = {L"Orvane.VXR.ZEKO.HWInfo", L"Orvane.VXR.ZEKO.HWInfo.1"};

IDispatch* CreateObject(unsigned how) {
    CLSID clsid = CLSID_CoDeZiVero;
    if (how < 2 && FAILED(CLSIDFromProgID(kProgIds[how], &clsid))) return nullptr;
    IDispatch* dispatch = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&dispatch))))
        return nullptr;
    return dispatch;
}

IDeZiVero2* Primary(IDispatch* dispatch) {
    IDeZiVero2* object = nullptr;
    dispatch->QueryInterface(IID_IDeZiVero2, reinterpret_cast<void**>(&object));
    if (object) object->Release();  // the IDispatch reference keeps it
    return object;
}

bool HeapsValid() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    const DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!HeapValidate(heaps[i], 0, nullptr)) return false;
    }
    return true;
}

// Whether the system checks the tails of heap blocks in this process: a block
// written one byte past its requested size must then fail validation.
bool HeapTailChecksOn() {
    HANDLE heap = HeapCreate(0, 0, 0);
    auto* block = static_cast<volatile BYTE*>(HeapAlloc(heap, 0, 13));
    block[13] = 0x5A;  // on purpose: within the rounded block, past the requested size
    const bool caught = !HeapValidate(heap, 0, nullptr);
    HeapDestroy(heap);
    return caught;
}

void RecordLibraryRange() {
    HMODULE library = nullptr;
    // An extra reference: the library stays at one address for the whole run.
    if (!GetModuleHandleExW(0, L"DeZIVero.DLL", &library) || !library) return;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(library);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const BYTE*>(library) + dos->e_lfanew);
    g_libraryStart = reinterpret_cast<BYTE*>(library);
    g_libraryEnd = g_libraryStart + nt->OptionalHeader.SizeOfImage;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned long calls = 20000;
    uint64_t seed = 1;
    unsigned long crashProbe = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--calls")) calls = std::strtoul(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--seed")) seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--crash-probe")) crashProbe = std::strtoul(argv[i + 1], nullptr, 10);
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    SetUnhandledExceptionFilter(UnhandledFilter);
    AddVectoredExceptionHandler(1, LibraryFaultHandler);

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    std::printf("dispatch_fuzz: platform %lu, version %lu.%lu, seed %llu, %lu calls, heap tail checks %s\n",
                version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion,
                static_cast<unsigned long long>(seed), calls, HeapTailChecksOn() ? "on" : "off");

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IDispatch* helper = CreateObject(0);  // the VT_DISPATCH argument; lives all run
    if (!helper) {
        std::printf("dispatch_fuzz: the object cannot be created through its ProgID\n");
        std::printf("dispatch_fuzz: 0 passed, 1 failed\n");
        return 1;
    }
    RecordLibraryRange();
    Check(g_libraryStart != nullptr, "the library is loaded in the process");

    static Pools pools;  // away from the stack, so a report after an overrun can still name the arguments
    g_labels = &pools.labels;
    const std::vector<std::wstring> keys = HarvestKeys(Primary(helper));
    Check(!keys.empty(), "the seeded devices are found");
    BuildTexts(pools, keys);
    BuildNumbers(pools);
    BuildOdds(pools, helper);
    std::printf("pools: %zu texts (%zu device keys found), %zu numbers, %zu other variants\n", pools.texts.size(),
                keys.size(), pools.numbers.size(), pools.odds.size());

    Fuzzer fuzzer(pools, seed);
    fuzzer.dispatch = CreateObject(2);
    fuzzer.object = fuzzer.dispatch ? Primary(fuzzer.dispatch) : nullptr;
    if (!fuzzer.object) {
        std::printf("dispatch_fuzz: 0 passed, 1 failed\n");
        return 1;
    }
    for (const Member& m : kMembers) {
        if (!IsSteady(m)) continue;
        members::Arguments none;
        members::CallMember(fuzzer.object, m, none, false, &g_steady[m.dispid]);
    }
    NullPointerChecks(fuzzer.dispatch, fuzzer.object);

    const DWORD start = GetTickCount();
    for (unsigned long n = 1; n <= calls; ++n) {
        g_call.number = n;
        if (n % 2000 == 0) {
            fuzzer.dispatch->Release();
            fuzzer.dispatch = CreateObject(n / 2000 % 3);
            fuzzer.object = fuzzer.dispatch ? Primary(fuzzer.dispatch) : nullptr;
            g_untrustedCaller = false;  // a new object trusts its caller
            Check(fuzzer.object != nullptr, "the object is created again");
            if (!fuzzer.object) break;
        }
        if (n == crashProbe) *static_cast<volatile int*>(nullptr) = 1;
        fuzzer.One();
        if (n % 1000 == 0) Check(HeapsValid(), "every heap of the process is valid");
    }
    const DWORD elapsed = GetTickCount() - start;
    if (fuzzer.dispatch) fuzzer.dispatch->Release();
    helper->Release();

    using Routine = HRESULT(STDAPICALLTYPE*)();
    const auto canUnload = reinterpret_cast<Routine>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"DeZIVero.DLL"), "DllCanUnloadNow")));
    Check(canUnload && canUnload() == S_OK, "every object is gone afterwards: the library can unload");

    PrintHistogram();
    std::printf("dispatch_fuzz: %lu calls in %.1f s (%.1f us per call), 0 crashes\n", g_calls, elapsed / 1000.0,
                g_calls ? elapsed * 1000.0 / g_calls : 0.0);
    std::printf("dispatch_fuzz: %lu passed, %lu failed\n", g_passed, g_failed);
    CoUninitialize();
    return g_failed == 0 ? 0 : 1;
}
