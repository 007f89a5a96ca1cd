// The seam between the component and the operating system.
//
// Every registry access, kernel32/user32 system query, INI-file read and
// device request of the component goes through these functions. The shipped
// DLL links platform/win32.cpp, which forwards each one to the Win32 function
// of the same name; the unit tests link the fake machine of tests/fake_machine/,
// which answers from a described machine (registry trees, INI files, system
// records, drives, devices). Text, code-page, wide-string, variant and
// type-library functions are not part of the seam: they are always the real
// ones.
#pragma once

#include <windows.h>

namespace platform {

// A predefined root key from its number (0x80000000 for HKEY_CLASSES_ROOT
// and so on), sign-extended as winreg.h makes it: on 64-bit Windows the
// handle is 0xFFFFFFFF80000000, not 0x80000000.
inline HKEY PredefinedKey(DWORD number) noexcept {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(number)));
}

// Registry (advapi32). HKEY_DYN_DATA is a root like the others.
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                     REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                     LPDWORD disposition);
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize);
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize);
LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize);
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPSTR keyClass, LPDWORD classSize, PFILETIME lastWrite);
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD dataSize);
LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classSize, LPDWORD reserved,
                      LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD maxClassLen, LPDWORD values,
                      LPDWORD maxValueNameLen, LPDWORD maxValueLen, LPDWORD securityDescriptor,
                      PFILETIME lastWrite);
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
LONG RegDeleteValueA(HKEY key, LPCSTR valueName);
LONG RegCloseKey(HKEY key);

// System records and queries (kernel32, user32).
BOOL GetVersionExA(OSVERSIONINFOA* info);
void GetSystemInfo(SYSTEM_INFO* info);
void GlobalMemoryStatus(MEMORYSTATUS* status);
BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS* status);
int GetSystemMetrics(int index);
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
BOOL GetComputerNameA(LPSTR buffer, LPDWORD size);
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);

// INI files.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer,
                               DWORD size, LPCSTR fileName);

// Device files and requests: physical drives and the processor-speed driver.
HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode,
                   LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                   HANDLE templateFile);
BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out,
                     DWORD outSize, LPDWORD returned, LPOVERLAPPED overlapped);
BOOL CloseHandle(HANDLE handle);

// Drive letters and their space.
DWORD GetLogicalDrives();
UINT GetDriveTypeA(LPCSTR root);
BOOL GetDiskFreeSpaceA(LPCSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                       LPDWORD freeClusters, LPDWORD totalClusters);

// Run-time lookup of functions that older systems lack (GetDiskFreeSpaceExA
// in "Kernel32.dll", UnRegisterTypeLib in "oleaut32.dll"), and a module file
// opened as data for its resources (the registration script).
HMODULE LoadLibraryA(LPCSTR fileName);
HMODULE LoadLibraryExA(LPCSTR fileName, HANDLE file, DWORD flags);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);

}  // namespace platform
