// Loads and unloads the library many times in one process, the way a host
// that calls CoFreeUnusedLibraries does, and shows that nothing stays behind:
// each cycle loads the library, takes its class object, creates an object,
// calls every member through the interface table and a few through dispatch,
// releases everything, expects DllCanUnloadNow to answer S_OK and frees the
// library, which must then be gone from the process.
//
// Handles, heaps, bytes in use on every heap and the process's private bytes
// are measured before the first cycle, after the warm-up cycles and at the
// end; after the warm-up they must not grow beyond a small allowance, and
// every cycle must give the answers of the first.
//
// Usage: lifecycle_load.exe DLL CYCLES WARMUP   (a Unix path is read through Z:)
// Last line: "lifecycle_load: N passed, N failed".
#include <windows.h>
#include <ole2.h>
#include <objsafe.h>
#include <oleauto.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DeZIVero_h.h"
#include "tests/tools/dezivero_members.h"
#include "tests/tools/unix_path.h"

namespace {

int passed = 0;
int failed = 0;
int reported = 0;

void Check(bool ok, const char* what, int cycle) {
    if (ok) {
        ++passed;
        return;
    }
    ++failed;
    if (reported++ < 30) std::printf("FAILED in cycle %d: %s\n", cycle, what);
}

struct Figures {
    DWORD handles = 0;
    DWORD heaps = 0;
    SIZE_T heapBytes = 0;  // busy blocks on every heap of the process
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
};

// Wine answers 0 to GetProcessHandleCount; then every handle value is asked
// for its flags, which only an open handle has.
DWORD CountHandles() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
    count = 0;
    for (UINT_PTR value = 4; value < 0x4000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

Figures Measure() {
    Figures f;
    f.handles = CountHandles();
    // A leak of heaps may pass any fixed array: the count comes first.
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    f.heaps = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    for (DWORD i = 0; i < f.heaps && i < heaps.size(); ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) f.heapBytes += entry.cbData;
        }
        HeapUnlock(heaps[i]);
    }
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters)) {
        f.privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
        f.workingSet = counters.WorkingSetSize;
    }
    return f;
}

void Print(const char* when, int cycle, const Figures& f) {
    std::printf("lifecycle_load: %-14s (cycle %4d): %lu handles, %lu heaps, %lu bytes in use on the heaps, "
                "%lu private bytes, %lu bytes working set\n",
                when, cycle, f.handles, f.heaps, static_cast<unsigned long>(f.heapBytes),
                static_cast<unsigned long>(f.privateBytes), static_cast<unsigned long>(f.workingSet));
}

using GetClassObjectRoutine = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using PlainRoutine = HRESULT(STDAPICALLTYPE*)();

template <typename Routine>
Routine Export(HMODULE module, const char* name) {
    return reinterpret_cast<Routine>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The members' answers for one object: every member through the interface
// table, the device members on the first modem, and three members by name.
std::vector<std::string> Answers(IDeZiVero2* object, int cycle) {
    std::vector<std::string> sheet;
    members::Arguments a;
    a.first = SysAllocString(L"Modem");
    VARIANT_BOOL found = VARIANT_FALSE;
    object->FindDevice(0, a.first, &found);
    BSTR key = nullptr;
    object->get_HWKey(&key);
    Check(found == VARIANT_TRUE && key && SysStringLen(key) > 0, "the seeded modem is found", cycle);
    SysFreeString(a.first);
    a.first = key;
    a.second = SysAllocString(L"");
    a.third = SysAllocString(L"DeviceDesc");
    for (const members::Member& m : members::kMembers) {
        // Free space, available memory and page file and the battery's charge move with the host.
        if (m.dispid == 36 || m.dispid == 40 || m.dispid == 42 || m.dispid == 56) continue;
        members::Arguments call = a;
        if (m.shape == members::Shape::FindDevice) call.first = SysAllocString(L"DiskDrive");
        std::string answer;
        members::CallMember(object, m, call, false, &answer);
        if (m.shape == members::Shape::FindDevice) SysFreeString(call.first);
        sheet.push_back(std::string("vtable ") + std::string(m.name, m.name + wcslen(m.name)) + " " + answer);
    }
    IDispatch* dispatch = nullptr;
    object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    if (dispatch) {
        for (DISPID id : {1, 16, 31, 39, 47, 49}) {
            std::string answer;
            members::InvokeMember(dispatch, *members::FindMember(id), a, &answer);
            sheet.push_back("dispatch " + std::to_string(id) + " " + answer);
        }
        dispatch->Release();
    }
    IObjectSafety* safety = nullptr;
    object->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety));
    Check(safety != nullptr, "the object answers IObjectSafety", cycle);
    if (safety) safety->Release();
    SysFreeString(a.first);
    SysFreeString(a.second);
    SysFreeString(a.third);
    return sheet;
}

// One cycle from LoadLibrary to FreeLibrary.
void Cycle(const wchar_t* path, int cycle, std::vector<std::string>* first) {
    DWORD loadedHeaps = 0;
    HMODULE module = LoadLibraryW(path);
    Check(module != nullptr, "the library loads", cycle);
    if (!module) return;
    const auto getClassObject = Export<GetClassObjectRoutine>(module, "DllGetClassObject");
    const auto canUnloadNow = Export<PlainRoutine>(module, "DllCanUnloadNow");
    Check(getClassObject && canUnloadNow, "the exports are found", cycle);
    if (getClassObject && canUnloadNow) {
        Check(canUnloadNow() == S_OK, "a freshly loaded library can unload", cycle);
        IClassFactory* factory = nullptr;
        getClassObject(CLSID_CoDeZiVero, IID_IClassFactory, reinterpret_cast<void**>(&factory));
        Check(factory != nullptr, "DllGetClassObject gives the class object", cycle);
        IDeZiVero2* object = nullptr;
        if (factory) {
            factory->CreateInstance(nullptr, IID_IDeZiVero2, reinterpret_cast<void**>(&object));
            factory->Release();
        }
        Check(object != nullptr, "CreateInstance gives an object", cycle);
        if (object) {
            loadedHeaps = GetProcessHeaps(0, nullptr);
            Check(canUnloadNow() == S_FALSE, "a living object keeps the library", cycle);
            const std::vector<std::string> sheet = Answers(object, cycle);
            if (first->empty()) {
                *first = sheet;
                for (const std::string& line : sheet) std::printf("  %s\n", line.c_str());
            } else if (sheet != *first) {
                for (size_t i = 0; i < sheet.size() && i < first->size(); ++i) {
                    if (sheet[i] != (*first)[i]) std::printf("  cycle %d: %s\n  first:   %s\n", cycle, sheet[i].c_str(), (*first)[i].c_str());
                }
                Check(false, "the answers differ from the first cycle's", cycle);
            }
            Check(object->Release() == 0, "the object's last Release answers 0", cycle);
        }
        Check(canUnloadNow() == S_OK, "with everything released the library can unload", cycle);
    }
    Check(FreeLibrary(module) != 0, "FreeLibrary", cycle);
    Check(GetModuleHandleW(L"DeZIVero.DLL") == nullptr, "the library is gone from the process", cycle);
    // The library's own heaps (its base heap, and a heap set on multi-processor
    // machines of the 9x family) exist while it is loaded and go with it.
    const DWORD freedHeaps = GetProcessHeaps(0, nullptr);
    if (cycle == 1) std::printf("lifecycle_load: %lu heaps while loaded, %lu after FreeLibrary\n", loadedHeaps, freedHeaps);
    Check(loadedHeaps > freedHeaps, "unloading destroys the library's heaps", cycle);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::printf("usage: lifecycle_load DLL CYCLES WARMUP\n");
        return 2;
    }
    wchar_t path[MAX_PATH];
    WidenPath(argv[1], path, MAX_PATH);
    const int cycles = std::atoi(argv[2]);
    const int warmup = std::atoi(argv[3]);
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    std::printf("lifecycle_load: platform %lu, %d cycles, warm-up %d\n", version.dwPlatformId, cycles, warmup);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    std::vector<std::string> first;
    const Figures start = Measure();
    Print("start", 0, start);
    Figures warm = start;
    const DWORD began = GetTickCount();
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        Cycle(path, cycle, &first);
        if (cycle == warmup) {
            warm = Measure();
            Print("after warm-up", cycle, warm);
        }
    }
    const Figures end = Measure();
    Print("end", cycles, end);
    const double seconds = (GetTickCount() - began) / 1000.0;
    std::printf("lifecycle_load: %d cycles in %.1f s\n", cycles, seconds);

    // Growth after the warm-up: a leak of one handle or a few bytes per cycle
    // shows over hundreds of cycles; the allowance covers the system's own
    // caches settling.
    const long handleGrowth = static_cast<long>(end.handles) - static_cast<long>(warm.handles);
    const long heapGrowth = static_cast<long>(end.heapBytes) - static_cast<long>(warm.heapBytes);
    const long privateGrowth = static_cast<long>(end.privateBytes) - static_cast<long>(warm.privateBytes);
    std::printf("lifecycle_load: growth after warm-up over %d cycles: %ld handles, %ld heaps, %ld heap bytes, "
                "%ld private bytes\n",
                cycles - warmup, handleGrowth, static_cast<long>(end.heaps) - static_cast<long>(warm.heaps),
                heapGrowth, privateGrowth);
    Check(end.handles > 0 && end.privateBytes > 0, "handles and private bytes can be counted", cycles);
    Check(handleGrowth <= 2, "no handles leak", cycles);
    Check(end.heaps == warm.heaps, "every heap the library created is destroyed", cycles);
    Check(heapGrowth <= 16 * 1024, "no heap memory leaks", cycles);
    Check(privateGrowth <= 256 * 1024, "private bytes do not grow", cycles);

    CoUninitialize();
    std::printf("lifecycle_load: %d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
