// The device files of a described machine: the physical drives ("\\.\physicaldriveN") with
// their geometry request, and the processor-speed driver with its speed request. Every path
// CreateFileA is asked for is recorded, found or not.
#include "platform/platform.h"

#include <winioctl.h>

#include <cstring>

#include "tests/fake_machine/machine_state.h"

namespace platform {
namespace {

using fake::Call;
using fake::Machine;
using fake::OpenDevice;
using fake::SetFailure;

constexpr char kPhysicalDrivePrefix[] = "\\\\.\\physicaldrive";

// "\\.\physicaldriveN" with N a signed decimal number that fits an int.
bool ParsePhysicalDrive(const std::string& path, int& number) {
    const size_t prefix = sizeof(kPhysicalDrivePrefix) - 1;
    if (path.size() <= prefix || !fake::SameNoCase(path.substr(0, prefix), kPhysicalDrivePrefix))
        return false;
    size_t i = prefix;
    const bool negative = path[i] == '-';
    if (path[i] == '-' || path[i] == '+') ++i;
    if (i == path.size()) return false;
    long long value = 0;
    for (; i < path.size(); ++i) {
        if (path[i] < '0' || path[i] > '9') return false;
        value = value * 10 + (path[i] - '0');
        if (value > 0x80000000LL) return false;
    }
    if (negative) value = -value;
    if (value > 0x7FFFFFFFLL) return false;
    number = static_cast<int>(value);
    return true;
}

HANDLE NewDeviceHandle(Machine& m, const OpenDevice& device) {
    const ULONG_PTR value = fake::NewHandleValue();
    m.impl->devices[value] = device;
    return reinterpret_cast<HANDLE>(value);
}

}  // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD,
                   HANDLE) {
    Call call("CreateFileA");
    if (!fileName) {
        SetFailure(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (!call.m) {
        SetFailure(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    Machine& m = *call.m;
    const std::string path(fileName);
    m.impl->openedFiles.push_back(path);
    int number = 0;
    if (ParsePhysicalDrive(path, number)) {
        auto it = m.physicalDrives.find(number);
        if (it != m.physicalDrives.end()) {
            if (!it->second.opens || (access != 0 && !m.administrator)) {
                SetFailure(ERROR_ACCESS_DENIED);
                return INVALID_HANDLE_VALUE;
            }
            OpenDevice device;
            device.kind = fake::DeviceKind::Disk;
            device.drive = number;
            return NewDeviceHandle(m, device);
        }
    }
    for (const auto& driver : m.speedDrivers) {
        if (!fake::SameNoCase(driver.first, path)) continue;
        OpenDevice device;
        device.kind = fake::DeviceKind::SpeedDriver;
        device.driverPath = driver.first;
        return NewDeviceHandle(m, device);
    }
    SetFailure(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID, DWORD, LPVOID out, DWORD outSize,
                     LPDWORD returned, LPOVERLAPPED overlapped) {
    Call call("DeviceIoControl");
    if (!call.m) {
        SetFailure(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto& devices = call.m->impl->devices;
    auto it = devices.find(reinterpret_cast<ULONG_PTR>(device));
    if (it == devices.end()) {
        SetFailure(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!returned && !overlapped) {
        SetFailure(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (returned) *returned = 0;
    Machine& m = *call.m;
    const OpenDevice& open = it->second;
    if (open.kind == fake::DeviceKind::Disk && code == IOCTL_DISK_GET_DRIVE_GEOMETRY) {
        auto drive = m.physicalDrives.find(open.drive);
        if (drive == m.physicalDrives.end() || !drive->second.answers) {
            SetFailure(ERROR_NOT_READY);
            return FALSE;
        }
        if (!out || outSize < sizeof(DISK_GEOMETRY)) {
            SetFailure(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        std::memcpy(out, &drive->second.geometry, sizeof(DISK_GEOMETRY));
        if (returned) *returned = sizeof(DISK_GEOMETRY);
        return TRUE;
    }
    if (open.kind == fake::DeviceKind::SpeedDriver && code == 0x8000) {
        auto driver = m.speedDrivers.find(open.driverPath);
        if (driver == m.speedDrivers.end() || !m.speedRequestSucceeds) {
            SetFailure(ERROR_GEN_FAILURE);
            return FALSE;
        }
        if (!out || outSize < sizeof(LONG)) {
            SetFailure(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        const LONG speed = driver->second;
        std::memcpy(out, &speed, sizeof speed);
        if (returned) *returned = sizeof speed;
        return TRUE;
    }
    SetFailure(ERROR_INVALID_FUNCTION);
    return FALSE;
}

BOOL CloseHandle(HANDLE handle) {
    Call call("CloseHandle");
    if (!call.m || !call.m->impl->devices.erase(reinterpret_cast<ULONG_PTR>(handle))) {
        SetFailure(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

}  // namespace platform
