// The system records of a described machine: the version, processor, memory and power records
// a new machine starts with (NT family unless made with Win9x), the computer name and the
// system metrics, and the seam functions that hand them out.
#include "tests/fake_machine/fake_machine.h"

#include <cstring>

#include "platform/platform.h"
#include "tests/fake_machine/machine_state.h"

namespace platform::fake {

Machine::Machine() : impl(std::make_unique<Impl>()) {
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    version.dwMajorVersion = 5;
    version.dwMinorVersion = 1;
    version.dwBuildNumber = 2600;
    version.dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::strcpy(version.szCSDVersion, "Service Pack 2");
    servicePackMajor = 2;

    systemInfo.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
    systemInfo.dwPageSize = 4096;
    systemInfo.lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(0x00010000);
    systemInfo.lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(0x7FFEFFFF);
    systemInfo.dwActiveProcessorMask = 1;
    systemInfo.dwNumberOfProcessors = 1;
    systemInfo.dwProcessorType = PROCESSOR_INTEL_PENTIUM;
    systemInfo.dwAllocationGranularity = 0x10000;
    systemInfo.wProcessorLevel = 6;
    systemInfo.wProcessorRevision = 0x0801;

    memory.dwLength = sizeof(MEMORYSTATUS);
    memory.dwMemoryLoad = 45;
    memory.dwTotalPhys = 512u * 1024 * 1024;
    memory.dwAvailPhys = 280u * 1024 * 1024;
    memory.dwTotalPageFile = 1248u * 1024 * 1024;
    memory.dwAvailPageFile = 900u * 1024 * 1024;
    memory.dwTotalVirtual = 0x7FFE0000;
    memory.dwAvailVirtual = 0x7FE00000;

    power.ACLineStatus = 1;
    power.BatteryFlag = 1;
    power.BatteryLifePercent = 80;
    power.BatteryLifeTime = 7200;
    power.BatteryFullLifeTime = 9000;
}

Machine::~Machine() = default;

std::unique_ptr<Machine> Machine::Nt() { return std::make_unique<Machine>(); }

namespace {

struct NtVersion {
    DWORD major, minor, build;
    const char* csd;
    WORD servicePack;
};

std::unique_ptr<Machine> NtMachine(const NtVersion& v) {
    auto m = std::make_unique<Machine>();
    m->version.dwMajorVersion = v.major;
    m->version.dwMinorVersion = v.minor;
    m->version.dwBuildNumber = v.build;
    std::memset(m->version.szCSDVersion, 0, sizeof m->version.szCSDVersion);
    std::strcpy(m->version.szCSDVersion, v.csd);
    m->servicePackMajor = v.servicePack;
    if (v.major >= 5) {
        m->hasGlobalMemoryStatusEx = true;
        const MEMORYSTATUS& capped = m->memory;
        m->memoryEx.dwLength = sizeof(MEMORYSTATUSEX);
        m->memoryEx.dwMemoryLoad = capped.dwMemoryLoad;
        m->memoryEx.ullTotalPhys = capped.dwTotalPhys;
        m->memoryEx.ullAvailPhys = capped.dwAvailPhys;
        m->memoryEx.ullTotalPageFile = capped.dwTotalPageFile;
        m->memoryEx.ullAvailPageFile = capped.dwAvailPageFile;
        m->memoryEx.ullTotalVirtual = capped.dwTotalVirtual;
        m->memoryEx.ullAvailVirtual = capped.dwAvailVirtual;
    }
    return m;
}

}  // namespace

std::unique_ptr<Machine> Machine::Nt4() { return NtMachine({4, 0, 1381, "Service Pack 6", 6}); }
std::unique_ptr<Machine> Machine::Win2000() {
    return NtMachine({5, 0, 2195, "Service Pack 4", 4});
}
std::unique_ptr<Machine> Machine::Xp() { return NtMachine({5, 1, 2600, "Service Pack 3", 3}); }
std::unique_ptr<Machine> Machine::Win7() { return NtMachine({6, 1, 7601, "Service Pack 1", 1}); }
std::unique_ptr<Machine> Machine::Win10() { return NtMachine({10, 0, 19045, "", 0}); }
std::unique_ptr<Machine> Machine::Win11() { return NtMachine({10, 0, 22631, "", 0}); }

std::unique_ptr<Machine> Machine::Win9x() {
    auto m = std::make_unique<Machine>();
    m->version.dwMajorVersion = 4;
    m->version.dwMinorVersion = 10;
    m->version.dwBuildNumber = 0x040A08AE;
    m->version.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    std::memset(m->version.szCSDVersion, 0, sizeof m->version.szCSDVersion);
    std::strcpy(m->version.szCSDVersion, " A ");
    m->versionExAccepted = false;
    m->servicePackMajor = 0;
    m->productType = 0;
    m->memory.dwMemoryLoad = 30;
    m->memory.dwTotalPhys = 128u * 1024 * 1024;
    m->memory.dwAvailPhys = 60u * 1024 * 1024;
    m->memory.dwTotalPageFile = 512u * 1024 * 1024;
    m->memory.dwAvailPageFile = 400u * 1024 * 1024;
    m->memory.dwTotalVirtual = 0x7FC00000;
    m->memory.dwAvailVirtual = 0x7F000000;
    m->systemDirectory = "C:\\WINDOWS\\SYSTEM";
    m->windowsDirectory = "C:\\WINDOWS";
    return m;
}

}  // namespace platform::fake

namespace platform {

using fake::Call;
using fake::SetFailure;

BOOL GetVersionExA(OSVERSIONINFOA* info) {
    Call call("GetVersionExA");
    if (!info) {
        SetFailure(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD size = info->dwOSVersionInfoSize;
    const bool extended = size == sizeof(OSVERSIONINFOEXA);
    if (!call.m || !call.m->versionSucceeds || (size != sizeof(OSVERSIONINFOA) && !extended) ||
        (extended && !call.m->versionExAccepted)) {
        SetFailure(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    *info = call.m->version;
    info->dwOSVersionInfoSize = size;
    if (extended) {
        auto* ex = reinterpret_cast<OSVERSIONINFOEXA*>(info);
        ex->wServicePackMajor = call.m->servicePackMajor;
        ex->wServicePackMinor = call.m->servicePackMinor;
        ex->wSuiteMask = call.m->suiteMask;
        ex->wProductType = call.m->productType;
        ex->wReserved = 0;
    }
    return TRUE;
}

void GetSystemInfo(SYSTEM_INFO* info) {
    Call call("GetSystemInfo");
    if (!info) return;
    if (!call.m) {
        std::memset(info, 0, sizeof *info);
        return;
    }
    *info = call.m->systemInfo;
}

void GlobalMemoryStatus(MEMORYSTATUS* status) {
    Call call("GlobalMemoryStatus");
    if (!status) return;
    if (!call.m) {
        std::memset(status, 0, sizeof *status);
        return;
    }
    *status = call.m->memory;
}

}  // namespace platform

namespace platform::fake {

BOOL WINAPI FakeGlobalMemoryStatusEx(LPMEMORYSTATUSEX status) {
    Call call("GlobalMemoryStatusEx");
    if (!status || status->dwLength != sizeof(MEMORYSTATUSEX)) {
        SetFailure(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!call.m || !call.m->memoryExSucceeds) {
        SetFailure(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    *status = call.m->memoryEx;
    status->dwLength = sizeof(MEMORYSTATUSEX);
    return TRUE;
}

}  // namespace platform::fake

namespace platform {

BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS* status) {
    Call call("GetSystemPowerStatus");
    if (!status) {
        SetFailure(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!call.m || !call.m->powerSucceeds) {
        SetFailure(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    *status = call.m->power;
    return TRUE;
}

int GetSystemMetrics(int index) {
    Call call("GetSystemMetrics");
    if (!call.m) return 0;
    auto it = call.m->metrics.find(index);
    return it == call.m->metrics.end() ? 0 : it->second;
}

BOOL GetComputerNameA(LPSTR buffer, LPDWORD size) {
    Call call("GetComputerNameA");
    if (!size) {
        SetFailure(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!call.m) {
        SetFailure(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    const std::string& name = call.m->computerName;
    const DWORD length = static_cast<DWORD>(name.size());
    if (!buffer || *size <= length) {
        *size = length + 1;
        SetFailure(ERROR_BUFFER_OVERFLOW);
        return FALSE;
    }
    std::memcpy(buffer, name.c_str(), length + 1);
    *size = length;
    return TRUE;
}

}  // namespace platform
