// The current-version key is the NT family's; the 9x family has none (where
// an emulation layer shows one, it is not the running system's). The build is
// the only one of the three with a source outside the registry: the 9x family
// and NT installations without "CurrentBuildNumber" still have the version
// record's build number.
#include "sysinfo/os_release.h"

#include <windows.h>

#include "platform/platform.h"
#include "sysinfo/bounded_text.h"
#include "sysinfo/current_version.h"
#include "sysinfo/platform_family.h"

namespace sysinfo {

namespace {

// The first value of names that the key holds as text.
template <size_t N>
bool ReadFirstText(const char* const (&names)[N], char* out, unsigned size) noexcept {
    if (!out || size == 0) return false;
    out[0] = '\0';
    if (!IsNtPlatform()) return false;
    for (const char* name : names) {
        if (ReadCurrentVersionText(name, out, size)) return true;
    }
    return false;
}

// The 9x family keeps the version in the high word of the build number.
DWORD RecordBuild() noexcept {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!platform::GetVersionExA(&version)) return 0;
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT ? version.dwBuildNumber
                                                          : LOWORD(version.dwBuildNumber);
}

bool Fail(char* out, unsigned size) noexcept {
    if (out && size) out[0] = '\0';
    return false;
}

}  // namespace

bool ReadOSBuild(char* out, unsigned size) noexcept {
    if (!out || size == 0) return false;
    char build[32] = "";
    unsigned long revision = 0;
    char text[48];
    if (IsNtPlatform() && ReadCurrentVersionText("CurrentBuildNumber", build, sizeof build)) {
        if (ReadCurrentVersionNumber("UBR", revision)) {
            wsprintfA(text, "%s.%lu", build, revision);
        } else {
            wsprintfA(text, "%s", build);
        }
    } else {
        const DWORD record = RecordBuild();
        if (record == 0) return Fail(out, size);
        wsprintfA(text, "%lu", record);
    }
    return CopyText(out, size, text) || Fail(out, size);
}

bool ReadOSDisplayVersion(char* out, unsigned size) noexcept {
    static constexpr const char* kNames[] = {"DisplayVersion", "ReleaseId"};
    return ReadFirstText(kNames, out, size);
}

bool ReadOSEdition(char* out, unsigned size) noexcept {
    static constexpr const char* kNames[] = {"EditionID"};
    return ReadFirstText(kNames, out, size);
}

}  // namespace sysinfo
