// platform/win32.cpp compiled once more under a namespace of its own, so that
// this program links its forwarders beside the fake machine's functions.
#define platform windows_seam
#include "platform/win32.cpp"
#undef platform

#include "tests/contract/seam.h"

namespace contract {

const Seam& WindowsSeam() {
    static const Seam seam{
        &windows_seam::RegOpenKeyExA,   &windows_seam::RegQueryValueExA,
        &windows_seam::RegEnumKeyA,     &windows_seam::RegEnumKeyExA,
        &windows_seam::RegEnumValueA,   &windows_seam::RegQueryInfoKeyA,
        &windows_seam::RegCloseKey,     &windows_seam::GetPrivateProfileStringA,
        &windows_seam::GetDriveTypeA,   &windows_seam::GetWindowsDirectoryA,
        &windows_seam::CreateFileA,     &windows_seam::LoadLibraryA,
        &windows_seam::GetProcAddress,  &windows_seam::FreeLibrary,
    };
    return seam;
}

}  // namespace contract
