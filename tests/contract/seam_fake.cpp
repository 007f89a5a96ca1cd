#include "platform/platform.h"
#include "tests/contract/seam.h"

namespace contract {

const Seam& FakeSeam() {
    static const Seam seam{
        &platform::RegOpenKeyExA,   &platform::RegQueryValueExA,
        &platform::RegEnumKeyA,     &platform::RegEnumKeyExA,
        &platform::RegEnumValueA,   &platform::RegQueryInfoKeyA,
        &platform::RegCloseKey,     &platform::GetPrivateProfileStringA,
        &platform::GetDriveTypeA,   &platform::GetWindowsDirectoryA,
        &platform::CreateFileA,     &platform::LoadLibraryA,
        &platform::GetProcAddress,  &platform::FreeLibrary,
    };
    return seam;
}

}  // namespace contract
