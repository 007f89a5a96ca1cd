// Who and what the machine is: operating-system name and version, registered
// owner, organisation and product ID, OEM maker and model.
//
// Values come from the current-version key of the platform family that
// IsNtPlatform reports (on the NT family from the native registry view), from
// the firmware's texts, and from two INI files in the system directory. Each
// routine reads its sources anew and never fails: what cannot be read gives
// empty text or a fixed default.
#include <windows.h>

#include "platform/platform.h"
#include "sysinfo/bounded_text.h"
#include "sysinfo/current_version.h"
#include "sysinfo/firmware_text.h"
#include "sysinfo/hw_info_core.h"
#include "sysinfo/platform_family.h"
#include "sysinfo/text_lookup.h"
#include "sysinfo/wow64.h"

namespace sysinfo {

namespace {

constexpr char kWindowsCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kProductOptions[] = "SYSTEM\\CurrentControlSet\\Control\\ProductOptions";

// Matched exactly, letter case included: "winnt" is no product type of the system.
constexpr TextRow ProductTypeNameTable[] = {
    {"ServerNT", "Microsoft NT Server"},
    {"WinNT", "Microsoft NT Workstation"},
};

// Windows 11 kept the product name of Windows 10; its builds start at 22000.
constexpr char kWindows10[] = "Windows 10";
constexpr unsigned long kFirstWindows11Build = 22000;

// Reads valueName of the running family's current-version key into destination.
// A number or binary value may fill it without a zero byte: the answer still
// ends at its last byte.
bool ReadCurrentVersion(HwInfoCore& core, const char* valueName,
                        char (&destination)[kAnswerTextSize]) noexcept {
    const bool read =
        IsNtPlatform()
            ? ReadCurrentVersionValue(valueName, destination, kAnswerTextSize, nullptr)
            : core.ReadHklmValue(kWindowsCurrentVersion, valueName, destination, kAnswerTextSize);
    destination[kAnswerTextSize - 1] = '\0';
    return read;
}

// "CurrentBuildNumber" as a number; 0 when missing or not all digits.
unsigned long CurrentBuild() noexcept {
    char text[16];
    if (!ReadCurrentVersionText("CurrentBuildNumber", text, sizeof text)) return 0;
    unsigned long build = 0;
    for (const char* digit = text; *digit; ++digit) {
        if (*digit < '0' || *digit > '9' || build > 99999999) return 0;
        build = build * 10 + static_cast<unsigned long>(*digit - '0');
    }
    return build;
}

void NameWindows11(char (&name)[kAnswerTextSize]) noexcept {
    for (unsigned i = 0; kWindows10[i] != '\0'; ++i)
        if (name[i] != kWindows10[i]) return;
    if (CurrentBuild() >= kFirstWindows11Build) name[sizeof kWindows10 - 2] = '1';
}

// Reads key of section in the INI file at directory\file into destination,
// empty when the file, section or key is missing or the path would not fit.
void ReadIni(const char* directory, const char* file, const char* section, const char* key,
             char (&destination)[kAnswerTextSize]) noexcept {
    destination[0] = '\0';
    char path[MAX_PATH];
    if (!CopyText(path, directory) || !AppendText(path, "\\") || !AppendText(path, file))
        return;
    platform::GetPrivateProfileStringA(section, key, "", destination, kAnswerTextSize, path);
    destination[kAnswerTextSize - 1] = '\0';
}

// OEMINFO.INI lies in the native system folder, which a 32-bit process under
// WOW64 reaches only by the alias "Sysnative"; "system32" would be SysWOW64.
void ReadOemInfo(HwInfoCore& core, const char* key, char (&destination)[kAnswerTextSize]) noexcept {
    char directory[MAX_PATH];
    const bool sysnative = RunsUnderWow64();
    if (!CopyText(directory, sysnative ? core.WinDir() : core.SysDir()) ||
        (sysnative && !AppendText(directory, "\\Sysnative"))) {
        destination[0] = '\0';
        return;
    }
    ReadIni(directory, "OEMINFO.INI", "general", key, destination);
}

// The maker's or model's text: OEMINFO.INI, else the firmware's, else fallback.
void ReadOemText(HwInfoCore& core, const char* key, const char* firmwareValue,
                 const char* fallback, char (&destination)[kAnswerTextSize]) noexcept {
    ReadOemInfo(core, key, destination);
    if (destination[0] != '\0') return;
    if (ReadFilledFirmwareText(firmwareValue, destination, kAnswerTextSize)) return;
    CopyText(destination, fallback);
}

}  // namespace

const char* HwInfoCore::OSName() noexcept {
    osName_[0] = '\0';
    if (ReadCurrentVersion(*this, "ProductName", osName_)) {
        if (IsNtPlatform()) NameWindows11(osName_);
        return osName_;
    }
    if (!IsNtPlatform()) return osName_;

    char productType[kAnswerTextSize];
    if (ReadHklmValue(kProductOptions, "ProductType", productType, kAnswerTextSize)) {
        productType[kAnswerTextSize - 1] = '\0';
        if (const char* name = LookUp(ProductTypeNameTable, productType, lstrcmpA))
            CopyText(osName_, name);
    }
    if (osName_[0] == '\0')
        ReadIni(SysDir(), "PRODSPEC.INI", "Product Specification", "Product", osName_);
    return osName_;
}

// From Windows 10 on "CurrentVersion" stays "6.3" for old programs; the real
// version is in two numbers.
const char* HwInfoCore::OSVersion() noexcept {
    if (!IsNtPlatform()) {
        ReadCurrentVersion(*this, "VersionNumber", osVersion_);
        return osVersion_;
    }
    unsigned long major = 0, minor = 0;
    if (ReadCurrentVersionNumber("CurrentMajorVersionNumber", major) &&
        ReadCurrentVersionNumber("CurrentMinorVersionNumber", minor))
        wsprintfA(osVersion_, "%lu.%lu", major, minor);
    else
        ReadCurrentVersion(*this, "CurrentVersion", osVersion_);

    char servicePack[kAnswerTextSize];
    if (!ReadCurrentVersion(*this, "CSDVersion", servicePack)) return osVersion_;
    // Two long values may not fit together; the join is cut at the buffer's end.
    if (AppendText(osVersion_, " (") && AppendText(osVersion_, servicePack))
        AppendText(osVersion_, ")");
    return osVersion_;
}

const char* HwInfoCore::RegOwnerName() noexcept {
    ReadCurrentVersion(*this, "RegisteredOwner", owner_);
    return owner_;
}

const char* HwInfoCore::RegOrganization() noexcept {
    ReadCurrentVersion(*this, "RegisteredOrganization", organization_);
    return organization_;
}

const char* HwInfoCore::RegID() noexcept {
    ReadCurrentVersion(*this, "ProductId", productId_);
    return productId_;
}

const char* HwInfoCore::MfgName() noexcept {
    ReadOemText(*this, "Manufacturer", "SystemManufacturer", "Generic", oemMaker_);
    return oemMaker_;
}

const char* HwInfoCore::MfgComputerModel() noexcept {
    ReadOemText(*this, "Model", "SystemProductName", "AT Compatible", oemModel_);
    return oemModel_;
}

}  // namespace sysinfo
