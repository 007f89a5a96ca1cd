// The bare side of each member: what the component's routines call, in their
// order, on the NT family. Registry values are read as the component reads
// them: each read opens its key below HKEY_LOCAL_MACHINE, queries and closes;
// a device value missing from the device key is looked for in the driver key
// the device names. Function lookups and version queries that the answer
// does not depend on are left out, so the ratio shows them.
#include "bare_calls.h"

#include <winioctl.h>

#include <cstring>

namespace bare {

namespace {

constexpr DWORD kTextSize = 1040;
constexpr char kNtCurrentVersion[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr char kProductOptions[] = "SYSTEM\\CurrentControlSet\\Control\\ProductOptions";
constexpr char kProcessorKey[] = "Hardware\\Description\\System\\CentralProcessor\\0";
constexpr char kBiosKey[] = "HARDWARE\\DESCRIPTION\\System\\BIOS";
constexpr char kServices[] = "System\\CurrentControlSet\\Services";
constexpr char kInstancePrefix[] = "System\\CurrentControlSet\\Enum\\";
constexpr char kDriverPrefix[] = "System\\CurrentControlSet\\Control\\Class\\";
constexpr DWORD kDriverRoom = 220;
constexpr DWORD kClassSize = 260;

char text[kTextSize];
char found[kTextSize];

class Key {
public:
    Key(HKEY parent, const char* path) {
        if (RegOpenKeyExA(parent, path, 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    explicit operator bool() const { return key_ != nullptr; }
    HKEY Get() const { return key_; }
    bool Query(const char* name, void* buffer, DWORD size) const {
        return RegQueryValueExA(key_, name, nullptr, nullptr, static_cast<BYTE*>(buffer), &size) ==
               ERROR_SUCCESS;
    }

private:
    HKEY key_ = nullptr;
};

class Device {
public:
    explicit Device(HANDLE handle) : handle_(handle) {}
    ~Device() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

bool ReadHklm(const char* path, const char* name, void* buffer, DWORD size) {
    const Key key(HKEY_LOCAL_MACHINE, path);
    return key && key.Query(name, buffer, size);
}

void ReadSystemIni(const char* file, const char* section, const char* name) {
    char path[MAX_PATH];
    GetSystemDirectoryA(path, MAX_PATH);
    lstrcatA(path, "\\");
    lstrcatA(path, file);
    GetPrivateProfileStringA(section, name, "", text, kTextSize, path);
}

bool ReadDeviceValue(const char* deviceKey, const char* name, void* buffer, DWORD size) {
    const Key device(HKEY_LOCAL_MACHINE, deviceKey);
    if (!device) return false;
    if (device.Query(name, buffer, size)) return true;
    char path[MAX_PATH] = {};
    lstrcpyA(path, kDriverPrefix);
    if (!device.Query("Driver", path + sizeof kDriverPrefix - 1, kDriverRoom)) return false;
    const Key driver(HKEY_LOCAL_MACHINE, path);
    return driver && driver.Query(name, buffer, size);
}

// Instance `number` of deviceClass among those the services' "Enum" keys
// name, its key left in `found`.
bool ServicesWalk(LONG number, const char* deviceClass) {
    const Key services(HKEY_LOCAL_MACHINE, kServices);
    if (!services) return false;
    const bool countsWithoutFlags =
        lstrcmpiA(deviceClass, "modem") == 0 || lstrcmpiA(deviceClass, "Display") == 0;
    char service[MAX_PATH];
    for (DWORD index = 0; RegEnumKeyA(services.Get(), index, service, sizeof service) == ERROR_SUCCESS;
         ++index) {
        if (sizeof kServices + lstrlenA(service) + 6 > MAX_PATH) continue;
        char path[MAX_PATH];
        wsprintfA(path, "%s\\%s\\Enum", kServices, service);
        const Key enumKey(HKEY_LOCAL_MACHINE, path);
        if (!enumKey) continue;
        DWORD count = 0;
        DWORD values = 0;
        if (!enumKey.Query("Count", &count, sizeof count)) continue;
        if (RegQueryInfoKeyA(enumKey.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            continue;
        if (values < count) count = values;
        for (DWORD instance = 0; instance < count; ++instance) {
            char name[16];
            wsprintfA(name, "%u", instance);
            std::memset(found, 0, sizeof found);
            lstrcpyA(found, kInstancePrefix);
            enumKey.Query(name, found + sizeof kInstancePrefix - 1, sizeof found - sizeof kInstancePrefix);
            char instanceClass[kClassSize + 1] = {};
            if (!ReadDeviceValue(found, "Class", instanceClass, kClassSize) ||
                lstrcmpiA(instanceClass, deviceClass) != 0)
                continue;
            LONG flags = 0;
            ReadDeviceValue(found, "StatusFlags", &flags, sizeof flags);
            if ((flags & 0xFF) == 0 && !countsWithoutFlags) continue;
            LONG problem = 0;
            ReadDeviceValue(found, "Problem", &problem, sizeof problem);
            if (number == 0) return true;
            --number;
        }
    }
    return false;
}

// Walks the class's devices from the first until one's description names the bus.
bool ProbeBus(const char* deviceClass, const char* pattern) {
    for (LONG number = 0;; ++number) {
        if (!ServicesWalk(number, deviceClass)) return false;
        char description[kClassSize + 1] = {};
        if (!ReadDeviceValue(found, "DeviceDesc", description, kClassSize)) continue;
        CharUpperA(description);
        if (std::strstr(description, pattern)) return true;
    }
}

void SumFixedDrives() {
    const DWORD present = GetLogicalDrives();
    char root[] = "A:\\";
    for (int letter = 0; letter < 26; ++letter) {
        if ((present & (1u << letter)) == 0) continue;
        root[0] = static_cast<char>('A' + letter);
        if (GetDriveTypeA(root) != DRIVE_FIXED) continue;
        ULARGE_INTEGER available, total, totalFree;
        GetDiskFreeSpaceExA(root, &available, &total, &totalFree);
    }
}

}  // namespace

bool ProcessorNamedByRecord() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwProcessorType == PROCESSOR_INTEL_386 || info.dwProcessorType == PROCESSOR_INTEL_486 ||
           info.dwProcessorType == PROCESSOR_INTEL_PENTIUM;
}

void OSName() {
    if (ReadHklm(kNtCurrentVersion, "ProductName", text, kTextSize)) return;
    if (ReadHklm(kProductOptions, "ProductType", text, kTextSize) &&
        (lstrcmpA(text, "ServerNT") == 0 || lstrcmpA(text, "WinNT") == 0))
        return;
    ReadSystemIni("PRODSPEC.INI", "Product Specification", "Product");
}

void OSVersion() {
    ReadHklm(kNtCurrentVersion, "CurrentVersion", text, kTextSize);
    ReadHklm(kNtCurrentVersion, "CSDVersion", text, kTextSize);
}

void ComputerName() {
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameA(text, &size);
}

void BootMode() { GetSystemMetrics(SM_CLEANBOOT); }
void SysDir() { GetSystemDirectoryA(text, MAX_PATH); }
void WinDir() { GetWindowsDirectoryA(text, MAX_PATH); }
void DebugEnabled() { GetSystemMetrics(SM_DEBUG); }
void RegOwnerName() { ReadHklm(kNtCurrentVersion, "RegisteredOwner", text, kTextSize); }
void RegOrganization() { ReadHklm(kNtCurrentVersion, "RegisteredOrganization", text, kTextSize); }
void RegID() { ReadHklm(kNtCurrentVersion, "ProductId", text, kTextSize); }
void MfgName() { ReadSystemIni("OEMINFO.INI", "general", "Manufacturer"); }
void MfgComputerModel() { ReadSystemIni("OEMINFO.INI", "general", "Model"); }
void ProcessorId() { ReadHklm(kProcessorKey, "Identifier", text, kTextSize); }
void ProcessorMMXId() { ReadHklm(kProcessorKey, "MMXIdentifier", text, kTextSize); }
void ProcessorVendorId() { ReadHklm(kProcessorKey, "VendorIdentifier", text, kTextSize); }

void ProcessorSpeed() {
    LONG mhz = 0;
    ReadHklm(kProcessorKey, "~MHz", &mhz, sizeof mhz);
}

void GetDeviceInfo() { ReadDeviceValue(kDeviceKey, kDeviceValue, text, kTextSize); }
void FindDevice() { ServicesWalk(0, kDeviceClass); }

void FixedDiskSizeInMB() {
    char name[32];
    wsprintfA(name, "\\\\.\\physicaldrive%d", static_cast<int>(kDisk));
    const Device disk(CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    if (disk.Get() == INVALID_HANDLE_VALUE) return;
    DISK_GEOMETRY geometry;
    DWORD returned = 0;
    DeviceIoControl(disk.Get(), IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry, sizeof geometry,
                    &returned, nullptr);
}

void FixedDisksSizeInMB() { SumFixedDrives(); }
void FixedDisksFreeSpaceInMB() { SumFixedDrives(); }
void HasSCSIBus() { ProbeBus("SCSIAdapter", "SCSI"); }
void HasAGPBus() { ProbeBus("Display", "AGP"); }

// The later systems' functions, found once (the component keeps its lookups too).
template <typename Function>
Function Kernel32(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

void MemoryStatusEx() {
    static const auto globalMemoryStatusEx =
        Kernel32<BOOL(WINAPI*)(MEMORYSTATUSEX*)>("GlobalMemoryStatusEx");
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    globalMemoryStatusEx(&status);
}

void OSBuild() {
    DWORD revision = 0;
    ReadHklm(kNtCurrentVersion, "CurrentBuildNumber", text, kTextSize);
    ReadHklm(kNtCurrentVersion, "UBR", &revision, sizeof revision);
}

void OSDisplayVersion() {
    if (ReadHklm(kNtCurrentVersion, "DisplayVersion", text, kTextSize)) return;
    ReadHklm(kNtCurrentVersion, "ReleaseId", text, kTextSize);
}

void OSEdition() { ReadHklm(kNtCurrentVersion, "EditionID", text, kTextSize); }

void OSArchitecture() {
    static const auto isWow64Process2 =
        Kernel32<BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*)>("IsWow64Process2");
    USHORT process = 0, native = 0;
    if (isWow64Process2 && isWow64Process2(GetCurrentProcess(), &process, &native)) return;
    SYSTEM_INFO info;
    GetNativeSystemInfo(&info);
}

void ProcessorName() { ReadHklm(kProcessorKey, "ProcessorNameString", text, kTextSize); }

void ProcessorCoreCount() {
    static const auto information = Kernel32<BOOL(WINAPI*)(
        LOGICAL_PROCESSOR_RELATIONSHIP, SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX*, DWORD*)>(
        "GetLogicalProcessorInformationEx");
    static union {
        ULONG_PTR align;
        unsigned char bytes[16384];
    } buffer;
    DWORD size = sizeof buffer.bytes;
    information(RelationProcessorCore,
                reinterpret_cast<SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX*>(buffer.bytes), &size);
}

void ProcessorLogicalCount() {
    static const auto activeCount = Kernel32<DWORD(WINAPI*)(WORD)>("GetActiveProcessorCount");
    activeCount(0xFFFF);
}

void BIOSVendor() { ReadHklm(kBiosKey, "BIOSVendor", text, kTextSize); }
void BIOSVersion() { ReadHklm(kBiosKey, "BIOSVersion", text, kTextSize); }
void BIOSReleaseDate() { ReadHklm(kBiosKey, "BIOSReleaseDate", text, kTextSize); }
void SystemFamily() { ReadHklm(kBiosKey, "SystemFamily", text, kTextSize); }
void BaseBoardManufacturer() { ReadHklm(kBiosKey, "BaseBoardManufacturer", text, kTextSize); }
void BaseBoardProduct() { ReadHklm(kBiosKey, "BaseBoardProduct", text, kTextSize); }

void BatteryLifePercent() {
    SYSTEM_POWER_STATUS status;
    GetSystemPowerStatus(&status);
}

const char* FoundKey() { return found; }

}  // namespace bare
