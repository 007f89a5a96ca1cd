// The drive letters of a described machine and their space, and the run-time lookup of
// functions a machine may lack: GetDiskFreeSpaceExA, GlobalMemoryStatusEx and IsWow64Process in
// "Kernel32.dll", and whatever the machine offers in its described libraries. Other libraries
// load for real.
#include "platform/platform.h"

#include <cstring>

#include "tests/fake_machine/machine_state.h"

namespace platform::fake {
namespace {

// The address of this byte is the module handle of the described "Kernel32.dll"; it is never
// handed to the real loader.
char gKernel32Marker;
HMODULE FakeKernel32() { return reinterpret_cast<HMODULE>(&gKernel32Marker); }

}  // namespace
}  // namespace platform::fake

namespace platform {
namespace {

using fake::Call;
using fake::Machine;
using fake::SetFailure;

// The drive a root or directory path names by its "X:" start; null when the machine lacks it.
const fake::Drive* DriveOf(Machine& m, LPCSTR path, bool rootOnly) {
    if (!path || !path[0] || path[1] != ':') return nullptr;
    if (rootOnly && path[2] && !(path[2] == '\\' && !path[3])) return nullptr;
    const char letter = fake::Upper(path[0]);
    if (letter < 'A' || letter > 'Z') return nullptr;
    auto it = m.drives.find(letter);
    if (it == m.drives.end()) it = m.drives.find(static_cast<char>(letter - 'A' + 'a'));
    if (it == m.drives.end() || it->second.type == DRIVE_NO_ROOT_DIR) return nullptr;
    return &it->second;
}

DWORD ClampToDword(unsigned long long value) {
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(value);
}

BOOL WINAPI FakeGetDiskFreeSpaceExA(LPCSTR directory, PULARGE_INTEGER freeToCaller,
                                    PULARGE_INTEGER total, PULARGE_INTEGER totalFree) {
    Call call("GetDiskFreeSpaceExA");
    const fake::Drive* drive = call.m ? DriveOf(*call.m, directory, false) : nullptr;
    if (!drive) {
        SetFailure(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (!drive->spaceQuerySucceeds) {
        SetFailure(ERROR_NOT_READY);
        return FALSE;
    }
    if (freeToCaller) freeToCaller->QuadPart = drive->freeBytes;
    if (total) total->QuadPart = drive->totalBytes;
    if (totalFree) totalFree->QuadPart = drive->freeBytes;
    return TRUE;
}

BOOL WINAPI FakeIsWow64Process(HANDLE, PBOOL wow64) {
    Call call("IsWow64Process");
    if (wow64) *wow64 = TRUE;
    return TRUE;
}

}  // namespace

DWORD GetLogicalDrives() {
    Call call("GetLogicalDrives");
    if (!call.m) return 0;
    DWORD mask = 0;
    for (const auto& [letter, drive] : call.m->drives) {
        const char upper = fake::Upper(letter);
        if (upper >= 'A' && upper <= 'Z' && drive.type != DRIVE_NO_ROOT_DIR)
            mask |= 1u << (upper - 'A');
    }
    return mask;
}

UINT GetDriveTypeA(LPCSTR root) {
    Call call("GetDriveTypeA");
    const fake::Drive* drive = call.m ? DriveOf(*call.m, root, true) : nullptr;
    return drive ? drive->type : DRIVE_NO_ROOT_DIR;
}

BOOL GetDiskFreeSpaceA(LPCSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                       LPDWORD freeClusters, LPDWORD totalClusters) {
    Call call("GetDiskFreeSpaceA");
    const fake::Drive* drive = call.m ? DriveOf(*call.m, root, true) : nullptr;
    if (!drive) {
        SetFailure(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    const unsigned long long cluster =
        static_cast<unsigned long long>(drive->sectorsPerCluster) * drive->bytesPerSector;
    if (!drive->spaceQuerySucceeds || cluster == 0) {
        SetFailure(ERROR_NOT_READY);
        return FALSE;
    }
    if (sectorsPerCluster) *sectorsPerCluster = drive->sectorsPerCluster;
    if (bytesPerSector) *bytesPerSector = drive->bytesPerSector;
    if (freeClusters) *freeClusters = ClampToDword(drive->freeBytes / cluster);
    if (totalClusters) *totalClusters = ClampToDword(drive->totalBytes / cluster);
    return TRUE;
}

namespace {

// "KERNEL32" and "kernel32.dll" name the same library.
std::string LibraryKey(const std::string& name) {
    std::string key;
    for (char c : name) key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (key.find('.') == std::string::npos) key += ".dll";
    return key;
}

bool IsDescribed(const std::string& key) {
    for (const char* library : fake::kDescribedLibraries)
        if (key == library) return true;
    return false;
}

// The functions a described library offers; null when the machine lists none for it.
std::map<std::string, FARPROC>* FunctionsOf(Machine& m, const std::string& key) {
    for (auto& [library, functions] : m.libraryFunctions)
        if (LibraryKey(library) == key) return &functions;
    return nullptr;
}

// The module handle of a described library other than kernel32 is the address of its
// function list, never handed to the real loader.
std::map<std::string, FARPROC>* FunctionsOfHandle(Machine& m, HMODULE module) {
    for (auto& entry : m.libraryFunctions)
        if (reinterpret_cast<HMODULE>(&entry.second) == module) return &entry.second;
    return nullptr;
}

}  // namespace

HMODULE LoadLibraryA(LPCSTR fileName) {
    Call call("LoadLibraryA");
    const std::string key = fileName ? LibraryKey(fileName) : std::string();
    if (!fileName || !IsDescribed(key)) return ::LoadLibraryA(fileName);
    if (key == "kernel32.dll") {
        if (call.m && call.m->kernel32Loads) return fake::FakeKernel32();
    } else if (auto* functions = call.m ? FunctionsOf(*call.m, key) : nullptr) {
        return reinterpret_cast<HMODULE>(functions);
    }
    SetFailure(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

// Module files opened as data are the real ones: the registrar tests build them.
HMODULE LoadLibraryExA(LPCSTR fileName, HANDLE file, DWORD flags) {
    Call call("LoadLibraryExA");
    return ::LoadLibraryExA(fileName, file, flags);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    Call call("GetProcAddress");
    std::map<std::string, FARPROC>* functions = nullptr;
    if (module == fake::FakeKernel32()) {
        functions = call.m ? FunctionsOf(*call.m, "kernel32.dll") : nullptr;
    } else {
        functions = call.m ? FunctionsOfHandle(*call.m, module) : nullptr;
        if (!functions) return ::GetProcAddress(module, name);
    }
    const bool byName = name && (reinterpret_cast<ULONG_PTR>(name) >> 16) != 0;
    if (module == fake::FakeKernel32() && call.m && byName) {
        // Through void (*)(): the caller casts back to the real signature.
        if (call.m->hasGetDiskFreeSpaceEx && std::strcmp(name, "GetDiskFreeSpaceExA") == 0)
            return reinterpret_cast<FARPROC>(
                reinterpret_cast<void (*)()>(&FakeGetDiskFreeSpaceExA));
        if (call.m->hasGlobalMemoryStatusEx && std::strcmp(name, "GlobalMemoryStatusEx") == 0)
            return reinterpret_cast<FARPROC>(
                reinterpret_cast<void (*)()>(&fake::FakeGlobalMemoryStatusEx));
        if (call.m->wow64 && std::strcmp(name, "IsWow64Process") == 0)
            return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&FakeIsWow64Process));
    }
    if (functions && byName) {
        const auto it = functions->find(name);
        if (it != functions->end() && it->second) return it->second;
    }
    SetFailure(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
    Call call("FreeLibrary");
    if (module == fake::FakeKernel32() || (call.m && FunctionsOfHandle(*call.m, module)))
        return TRUE;
    return ::FreeLibrary(module);
}

}  // namespace platform
