// The drive letters of a described machine and their space, and the run-time lookup of
// GetDiskFreeSpaceExA and IsWow64Process in "Kernel32.dll", which a machine may lack. Other
// libraries are loaded for real.
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

bool IsKernel32(const std::string& name) {
    return fake::SameNoCase(name, "kernel32.dll") || fake::SameNoCase(name, "kernel32");
}

}  // namespace

HMODULE LoadLibraryA(LPCSTR fileName) {
    Call call("LoadLibraryA");
    if (!fileName || !IsKernel32(fileName)) return ::LoadLibraryA(fileName);
    if (!call.m || !call.m->kernel32Loads) {
        SetFailure(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return fake::FakeKernel32();
}

// Module files opened as data are the real ones: the registrar tests build them.
HMODULE LoadLibraryExA(LPCSTR fileName, HANDLE file, DWORD flags) {
    Call call("LoadLibraryExA");
    return ::LoadLibraryExA(fileName, file, flags);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    Call call("GetProcAddress");
    if (module != fake::FakeKernel32()) return ::GetProcAddress(module, name);
    const bool byName = name && (reinterpret_cast<ULONG_PTR>(name) >> 16) != 0;
    // Through void (*)(): the caller casts back to the real signature.
    if (call.m && byName && call.m->hasGetDiskFreeSpaceEx &&
        std::strcmp(name, "GetDiskFreeSpaceExA") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&FakeGetDiskFreeSpaceExA));
    if (call.m && byName && call.m->wow64 && std::strcmp(name, "IsWow64Process") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&FakeIsWow64Process));
    SetFailure(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
    Call call("FreeLibrary");
    if (module == fake::FakeKernel32()) return TRUE;
    return ::FreeLibrary(module);
}

}  // namespace platform
