// Who and what the machine is: operating-system name and version, registered
// owner, organisation and product ID, OEM maker and model.
//
// Values come from the current-version key of the platform family that
// IsNtPlatform reports, and from two INI files in the system directory. Each
// routine reads its sources anew and never fails: what cannot be read gives
// empty text or a fixed default.
#include <windows.h>

#include "platform/platform.h"
#include "sysinfo/bounded_text.h"
#include "sysinfo/hw_info_core.h"
#include "sysinfo/platform_family.h"
#include "sysinfo/text_lookup.h"

namespace sysinfo {

namespace {

constexpr char kNtCurrentVersion[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr char kWindowsCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kProductOptions[] = "SYSTEM\\CurrentControlSet\\Control\\ProductOptions";

// Matched exactly, letter case included: "winnt" is no product type of the system.
constexpr TextRow ProductTypeNameTable[] = {
    {"ServerNT", "Microsoft NT Server"},
    {"WinNT", "Microsoft NT Workstation"},
};

const char* CurrentVersionKey() noexcept {
    return IsNtPlatform() ? kNtCurrentVersion : kWindowsCurrentVersion;
}

// Reads key of section in file (in the system directory) into destination,
// empty when the file, section or key is missing or the path would not fit.
void ReadSystemIni(HwInfoCore& core, const char* file, const char* section,
                   const char* key, char (&destination)[kTextSize]) noexcept {
    destination[0] = '\0';
    char path[MAX_PATH];
    if (!CopyText(path, core.SysDir()) || !AppendText(path, "\\") || !AppendText(path, file))
        return;
    platform::GetPrivateProfileStringA(section, key, "", destination, kTextSize, path);
    destination[kTextSize - 1] = '\0';
}

}  // namespace

const char* HwInfoCore::OSName() noexcept {
    osName_[0] = '\0';
    if (ReadHklmValue(CurrentVersionKey(), "ProductName", osName_, kTextSize)) return osName_;
    if (!IsNtPlatform()) return osName_;

    char productType[kTextSize];
    if (ReadHklmValue(kProductOptions, "ProductType", productType, kTextSize)) {
        if (const char* name = LookUp(ProductTypeNameTable, productType, lstrcmpA))
            CopyText(osName_, name);
    }
    if (osName_[0] == '\0')
        ReadSystemIni(*this, "PRODSPEC.INI", "Product Specification", "Product", osName_);
    return osName_;
}

const char* HwInfoCore::OSVersion() noexcept {
    const bool nt = IsNtPlatform();
    ReadHklmValue(CurrentVersionKey(), nt ? "CurrentVersion" : "VersionNumber", osVersion_,
                  kTextSize);
    if (!nt) return osVersion_;

    char servicePack[kTextSize];
    if (!ReadHklmValue(kNtCurrentVersion, "CSDVersion", servicePack, kTextSize))
        return osVersion_;
    // Two long values may not fit together; the join is cut at the buffer's end.
    if (AppendText(osVersion_, " (") && AppendText(osVersion_, servicePack))
        AppendText(osVersion_, ")");
    return osVersion_;
}

const char* HwInfoCore::RegOwnerName() noexcept {
    ReadHklmValue(CurrentVersionKey(), "RegisteredOwner", owner_, kTextSize);
    return owner_;
}

const char* HwInfoCore::RegOrganization() noexcept {
    ReadHklmValue(CurrentVersionKey(), "RegisteredOrganization", organization_, kTextSize);
    return organization_;
}

const char* HwInfoCore::RegID() noexcept {
    ReadHklmValue(CurrentVersionKey(), "ProductId", productId_, kTextSize);
    return productId_;
}

const char* HwInfoCore::MfgName() noexcept {
    ReadSystemIni(*this, "OEMINFO.INI", "general", "Manufacturer", oemMaker_);
    if (oemMaker_[0] == '\0') CopyText(oemMaker_, "Generic");
    return oemMaker_;
}

const char* HwInfoCore::MfgComputerModel() noexcept {
    ReadSystemIni(*this, "OEMINFO.INI", "general", "Model", oemModel_);
    if (oemModel_[0] == '\0') CopyText(oemModel_, "AT Compatible");
    return oemModel_;
}

}  // namespace sysinfo
