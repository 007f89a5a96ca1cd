// The seam's functions as one table of pointers, so that the same call can be
// made through the fake machine and through the forwarders to Windows in one
// program. A signature that drifts from platform/platform.h stops the build.
#pragma once

#include <windows.h>

namespace contract {

struct Seam {
    LONG (*RegOpenKeyExA)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
    LONG (*RegQueryValueExA)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
    LONG (*RegEnumKeyA)(HKEY, DWORD, LPSTR, DWORD);
    LONG (*RegEnumKeyExA)(HKEY, DWORD, LPSTR, LPDWORD, LPDWORD, LPSTR, LPDWORD, PFILETIME);
    LONG (*RegEnumValueA)(HKEY, DWORD, LPSTR, LPDWORD, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
    LONG (*RegQueryInfoKeyA)(HKEY, LPSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD,
                             LPDWORD, LPDWORD, LPDWORD, PFILETIME);
    LONG (*RegCloseKey)(HKEY);
    DWORD (*GetPrivateProfileStringA)(LPCSTR, LPCSTR, LPCSTR, LPSTR, DWORD, LPCSTR);
    UINT (*GetDriveTypeA)(LPCSTR);
    UINT (*GetWindowsDirectoryA)(LPSTR, UINT);
    HANDLE (*CreateFileA)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    HMODULE (*LoadLibraryA)(LPCSTR);
    FARPROC (*GetProcAddress)(HMODULE, LPCSTR);
    BOOL (*FreeLibrary)(HMODULE);
};

// The table of the seam functions of namespace NS.
#define CONTRACT_SEAM_OF(NS)                                                                    \
    Seam {                                                                                      \
        &NS::RegOpenKeyExA, &NS::RegQueryValueExA, &NS::RegEnumKeyA, &NS::RegEnumKeyExA,        \
            &NS::RegEnumValueA, &NS::RegQueryInfoKeyA, &NS::RegCloseKey,                        \
            &NS::GetPrivateProfileStringA, &NS::GetDriveTypeA, &NS::GetWindowsDirectoryA,       \
            &NS::CreateFileA, &NS::LoadLibraryA, &NS::GetProcAddress, &NS::FreeLibrary          \
    }

// The unit tests' fake machine, bound to the machine the caller described.
const Seam& FakeSeam();
// platform/win32.cpp: the DLL's own forwarders to Windows.
const Seam& WindowsSeam();

}  // namespace contract
