// Objects on several apartment threads at once answer as one thread does.
//
// The main thread, an apartment of its own, creates one object and writes an
// answer sheet: every member through the interface table, and for each
// device class the devices found with their keys, status and values. Then
// THREADS threads enter single-threaded apartments, wait for one another and
// each create their own object through the registry. Their first call is by
// name, so that the threads race for the process's first load of the type
// information. For ROUNDS rounds each thread fills the sheet again, by
// interface table and by dispatch in turn, walking the device classes in an
// order of its own so that the objects' last-device state interleaves
// differently; every answer must equal the main thread's.
//
// Usage: lifecycle_threads.exe ROUNDS THREADS
// Last line: "lifecycle_threads: N passed, N failed".
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DeZIVero_h.h"
#include "tests/tools/dezivero_members.h"

namespace {

const wchar_t* const kClasses[] = {L"Modem", L"DiskDrive", L"CDROM", L"Display", L"SCSIAdapter", L"Net",
                                   L"Monitor", L"Printer", L"MEDIA"};
constexpr int kClassCount = sizeof kClasses / sizeof kClasses[0];
constexpr LONG kDevicesPerClass = 3;
const wchar_t* const kValues[] = {L"DeviceDesc", L"Speed", L"Class", L"Driver"};

using Sheet = std::vector<std::string>;

std::string Narrow(const wchar_t* text) { return std::string(text, text + wcslen(text)); }

// The members that take no device: every member but the device ones, with
// processor and disk number 0. Free space, available memory and page file
// and the battery's charge move with the host.
void MemberAnswers(IDeZiVero2* object, IDispatch* dispatch, Sheet* sheet) {
    members::Arguments none;
    for (const members::Member& m : members::kMembers) {
        if (m.dispid == 36 || m.dispid == 29 || m.dispid == 30 || m.dispid == 31 || m.dispid == 32 ||
            m.dispid == 40 || m.dispid == 42 || m.dispid == 56)
            continue;
        std::string answer;
        if (dispatch) {
            members::InvokeMember(dispatch, m, none, &answer);
        } else {
            members::CallMember(object, m, none, false, &answer);
            answer = members::AsDispatched(answer);
        }
        sheet->push_back(Narrow(m.name) + " " + answer);
    }
}

// One device class: FindDevice for devices 0 to 2, then HWKey, DeviceStatus
// and values of each device found. Dispatch or interface table as asked.
void DeviceAnswers(IDeZiVero2* object, IDispatch* dispatch, int classIndex, Sheet* sheet) {
    members::Arguments a;
    a.first = SysAllocString(kClasses[classIndex]);
    const std::string prefix = Narrow(kClasses[classIndex]) + " ";
    auto call = [&](DISPID id, const members::Arguments& args) {
        std::string answer;
        if (dispatch) {
            members::InvokeMember(dispatch, *members::FindMember(id), args, &answer);
        } else {
            members::CallMember(object, *members::FindMember(id), args, false, &answer);
            answer = members::AsDispatched(answer);
        }
        return answer;
    };
    for (a.number = 0; a.number < kDevicesPerClass; ++a.number) {
        const std::string n = std::to_string(a.number);
        const std::string found = call(32, a);
        sheet->push_back(prefix + n + " FindDevice " + found);
        sheet->push_back(prefix + n + " HWKey " + call(29, a));
        sheet->push_back(prefix + n + " DeviceStatus " + call(30, a));
        if (found != "00000000 true") break;
        BSTR key = nullptr;
        object->get_HWKey(&key);
        members::Arguments v;
        v.first = key;
        v.second = SysAllocString(L"");
        for (const wchar_t* value : kValues) {
            v.third = SysAllocString(value);
            sheet->push_back(prefix + n + " " + Narrow(value) + " " + call(31, v));
            SysFreeString(v.third);
        }
        SysFreeString(v.second);
        SysFreeString(key);
    }
    SysFreeString(a.first);
}

// The sheet in the canonical order; start turns the walk over the classes,
// and the answers are put back in class order afterwards.
Sheet FillSheet(IDeZiVero2* object, IDispatch* dispatch, int start) {
    Sheet byClass[kClassCount];
    for (int i = 0; i < kClassCount; ++i) {
        const int c = (start + i) % kClassCount;
        DeviceAnswers(object, dispatch, c, &byClass[c]);
    }
    Sheet sheet;
    MemberAnswers(object, dispatch, &sheet);
    for (const Sheet& part : byClass) sheet.insert(sheet.end(), part.begin(), part.end());
    return sheet;
}

struct Shared {
    Sheet baseline;
    int rounds = 0;
    int threads = 0;
    HANDLE go = nullptr;
    volatile LONG ready = 0;
};

struct ThreadResult {
    int index = 0;
    Shared* shared = nullptr;
    long passed = 0;
    long failed = 0;
    std::string firstMismatch;
};

DWORD WINAPI Worker(void* parameter) {
    auto* result = static_cast<ThreadResult*>(parameter);
    Shared& shared = *result->shared;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    InterlockedIncrement(&shared.ready);
    WaitForSingleObject(shared.go, INFINITE);

    IDeZiVero2* object = nullptr;
    CoCreateInstance(CLSID_CoDeZiVero, nullptr, CLSCTX_INPROC_SERVER, IID_IDeZiVero2,
                     reinterpret_cast<void**>(&object));
    if (!object) {
        result->failed = 1;
        result->firstMismatch = "CoCreateInstance failed on the thread";
        CoUninitialize();
        return 0;
    }
    IDispatch* dispatch = nullptr;
    object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    for (int round = 0; round < shared.rounds; ++round) {
        // Dispatch first: round 0 races the other threads for the type information.
        const bool byName = round % 2 == 0;
        const Sheet sheet = FillSheet(object, byName ? dispatch : nullptr, result->index + round);
        for (size_t i = 0; i < sheet.size() || i < shared.baseline.size(); ++i) {
            const std::string got = i < sheet.size() ? sheet[i] : "(missing)";
            const std::string want = i < shared.baseline.size() ? shared.baseline[i] : "(missing)";
            if (got == want) {
                ++result->passed;
                continue;
            }
            if (result->failed++ == 0) {
                result->firstMismatch = "round " + std::to_string(round) + (byName ? " by name" : " by table") +
                                        ": " + got + "\n    single thread: " + want;
            }
        }
    }
    if (dispatch) dispatch->Release();
    object->Release();
    CoUninitialize();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Shared shared;
    shared.rounds = argc > 1 ? std::atoi(argv[1]) : 20;
    shared.threads = argc > 2 ? std::atoi(argv[2]) : 4;
    if (shared.threads < 1 || shared.threads > 64) shared.threads = 4;
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    std::printf("lifecycle_threads: platform %lu, %d threads, %d rounds each\n", version.dwPlatformId,
                shared.threads, shared.rounds);

    long passed = 0;
    long failed = 0;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IDeZiVero2* object = nullptr;
    CoCreateInstance(CLSID_CoDeZiVero, nullptr, CLSCTX_INPROC_SERVER, IID_IDeZiVero2,
                     reinterpret_cast<void**>(&object));
    if (!object) {
        std::printf("lifecycle_threads: the object cannot be created\nlifecycle_threads: 0 passed, 1 failed\n");
        return 1;
    }
    shared.baseline = FillSheet(object, nullptr, 0);
    object->Release();
    int devicesFound = 0;
    for (const std::string& line : shared.baseline) {
        std::printf("  %s\n", line.c_str());
        if (line.find(" FindDevice 00000000 true") != std::string::npos) ++devicesFound;
    }
    // Without devices the comparison would prove little.
    (devicesFound >= 5 ? passed : failed) += 1;
    std::printf("lifecycle_threads: %zu answers on the sheet, %d devices found\n", shared.baseline.size(),
                devicesFound);

    shared.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<ThreadResult> results(shared.threads);
    std::vector<HANDLE> threads;
    for (int i = 0; i < shared.threads; ++i) {
        results[i].index = i;
        results[i].shared = &shared;
        threads.push_back(CreateThread(nullptr, 0, Worker, &results[i], 0, nullptr));
    }
    while (shared.ready < shared.threads) Sleep(1);
    const DWORD began = GetTickCount();
    SetEvent(shared.go);
    WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, INFINITE);
    const double seconds = (GetTickCount() - began) / 1000.0;
    for (HANDLE t : threads) CloseHandle(t);
    CloseHandle(shared.go);

    for (const ThreadResult& r : results) {
        std::printf("lifecycle_threads: thread %d: %ld answers as on one thread, %ld differ\n", r.index, r.passed,
                    r.failed);
        if (!r.firstMismatch.empty()) std::printf("  first difference, %s\n", r.firstMismatch.c_str());
        passed += r.passed;
        failed += r.failed;
    }
    std::printf("lifecycle_threads: %d threads x %d rounds in %.1f s\n", shared.threads, shared.rounds, seconds);

    using Routine = HRESULT(STDAPICALLTYPE*)();
    const auto canUnload = reinterpret_cast<Routine>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"DeZIVero.DLL"), "DllCanUnloadNow")));
    const bool unloadable = canUnload && canUnload() == S_OK;
    (unloadable ? passed : failed) += 1;
    if (!unloadable) std::printf("FAILED: after every thread released its object the library cannot unload\n");

    CoUninitialize();
    std::printf("lifecycle_threads: %ld passed, %ld failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
