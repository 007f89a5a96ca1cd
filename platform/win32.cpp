// The shipped binding of the platform seam: each function is the Win32
// function of the same name.
#include "platform/platform.h"

#include "platform/system_function.h"

namespace platform {

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
    return ::RegOpenKeyExA(key, subKey, options, access, result);
}
LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                     REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                     LPDWORD disposition) {
    return ::RegCreateKeyExA(key, subKey, reserved, keyClass, options, access, security, result,
                             disposition);
}
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
    return ::RegQueryValueExA(key, valueName, reserved, type, data, dataSize);
}
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize) {
    return ::RegSetValueExA(key, valueName, reserved, type, data, dataSize);
}
LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize) {
    return ::RegEnumKeyA(key, index, name, nameSize);
}
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPSTR keyClass, LPDWORD classSize, PFILETIME lastWrite) {
    return ::RegEnumKeyExA(key, index, name, nameSize, reserved, keyClass, classSize, lastWrite);
}
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    return ::RegEnumValueA(key, index, name, nameSize, reserved, type, data, dataSize);
}
LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classSize, LPDWORD reserved,
                      LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD maxClassLen, LPDWORD values,
                      LPDWORD maxValueNameLen, LPDWORD maxValueLen, LPDWORD securityDescriptor,
                      PFILETIME lastWrite) {
    return ::RegQueryInfoKeyA(key, keyClass, classSize, reserved, subKeys, maxSubKeyLen,
                              maxClassLen, values, maxValueNameLen, maxValueLen,
                              securityDescriptor, lastWrite);
}
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) { return ::RegDeleteKeyA(key, subKey); }
LONG RegDeleteValueA(HKEY key, LPCSTR valueName) { return ::RegDeleteValueA(key, valueName); }
LONG RegCloseKey(HKEY key) { return ::RegCloseKey(key); }

BOOL GetVersionExA(OSVERSIONINFOA* info) { return ::GetVersionExA(info); }
void GetSystemInfo(SYSTEM_INFO* info) { ::GetSystemInfo(info); }
void GlobalMemoryStatus(MEMORYSTATUS* status) { ::GlobalMemoryStatus(status); }
// NT 4.0 has no power status (Windows 2000 brought it), so it is looked up by name there.
namespace {
SystemFunction<decltype(&::GetSystemPowerStatus)> g_getSystemPowerStatus{"kernel32.dll",
                                                                         "GetSystemPowerStatus"};
}  // namespace
BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS* status) {
    const auto getSystemPowerStatus = g_getSystemPowerStatus.Get();
    if (getSystemPowerStatus == nullptr) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    return getSystemPowerStatus(status);
}
int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }
UINT GetSystemDirectoryA(LPSTR buffer, UINT size) { return ::GetSystemDirectoryA(buffer, size); }
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) { return ::GetWindowsDirectoryA(buffer, size); }
BOOL GetComputerNameA(LPSTR buffer, LPDWORD size) { return ::GetComputerNameA(buffer, size); }
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
    return ::GetModuleFileNameA(module, buffer, size);
}

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer,
                               DWORD size, LPCSTR fileName) {
    return ::GetPrivateProfileStringA(section, key, defaultText, buffer, size, fileName);
}

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode,
                   LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                   HANDLE templateFile) {
    return ::CreateFileA(fileName, access, shareMode, security, disposition, flags, templateFile);
}
BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out,
                     DWORD outSize, LPDWORD returned, LPOVERLAPPED overlapped) {
    return ::DeviceIoControl(device, code, in, inSize, out, outSize, returned, overlapped);
}
BOOL CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }

DWORD GetLogicalDrives() { return ::GetLogicalDrives(); }
UINT GetDriveTypeA(LPCSTR root) { return ::GetDriveTypeA(root); }
BOOL GetDiskFreeSpaceA(LPCSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                       LPDWORD freeClusters, LPDWORD totalClusters) {
    return ::GetDiskFreeSpaceA(root, sectorsPerCluster, bytesPerSector, freeClusters,
                               totalClusters);
}

HMODULE LoadLibraryA(LPCSTR fileName) { return ::LoadLibraryA(fileName); }
HMODULE LoadLibraryExA(LPCSTR fileName, HANDLE file, DWORD flags) {
    return ::LoadLibraryExA(fileName, file, flags);
}
FARPROC GetProcAddress(HMODULE module, LPCSTR name) { return ::GetProcAddress(module, name); }
BOOL FreeLibrary(HMODULE module) { return ::FreeLibrary(module); }

}  // namespace platform
