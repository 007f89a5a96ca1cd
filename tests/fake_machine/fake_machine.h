// A described machine that the unit tests bind the platform seam to.
//
// A test builds a Machine in a few lines (registry keys and values, INI
// files, system records, drives, disks, the speed driver), installs it with
// a Scope, and the component's code then sees that machine through every
// function of platform/platform.h. The machine also counts what the code did
// (keys left open, handles left open, calls per function), so tests can check
// that a routine closes what it opens and asks the system only as often as it
// should.
//
// Registry paths name a root first: "HKLM\\Enum\\Root", "HKDD\\Config Manager\\Enum",
// "HKCR\\CLSID". Roots: HKCR, HKCU, HKLM, HKU, HKPD, HKDD (HKEY_DYN_DATA), HKCC.
// Key and value names compare without regard to case; subkeys enumerate in
// case-insensitive sorted order (as the registry of Wine and NT does), values
// in the order they were set. The default value is the value named "".
#pragma once

#include <windows.h>
#include <winioctl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform::fake {

struct Value {
    DWORD type = REG_NONE;
    std::string bytes;  // raw data, exactly as stored (text values carry their terminator only
                        // when the fixture put one there)
};

struct Drive {
    UINT type = DRIVE_FIXED;
    unsigned long long totalBytes = 0;
    unsigned long long freeBytes = 0;
    bool spaceQuerySucceeds = true;
    // For GetDiskFreeSpaceA: the same space as clusters of 512-byte sectors, 8 per cluster,
    // unless set otherwise.
    DWORD sectorsPerCluster = 8;
    DWORD bytesPerSector = 512;
};

struct PhysicalDrive {
    bool opens = true;
    bool answers = true;        // the geometry request succeeds
    DISK_GEOMETRY geometry{};
};

class Machine {
public:
    Machine();  // an empty NT-family machine: platform 2, version 5.1.2600, one processor
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // Ready-made machines of both families with typical records (no registry content).
    static std::unique_ptr<Machine> Nt();    // platform 2, 5.1 build 2600, "Service Pack 2"
    static std::unique_ptr<Machine> Win9x(); // platform 1, 4.10 build 0x040A08AE (2222), " A "
    // The NT family by version, with the records those systems give (no registry content):
    // NT 4.0 SP6 (4.0.1381), 2000 SP4 (5.0.2195), XP SP3 (5.1.2600), 7 SP1 (6.1.7601),
    // 10 22H2 (10.0.19045) and 11 23H2 (10.0.22631), as a manifested host sees them; from
    // 2000 on with GlobalMemoryStatusEx.
    static std::unique_ptr<Machine> Nt4();
    static std::unique_ptr<Machine> Win2000();
    static std::unique_ptr<Machine> Xp();
    static std::unique_ptr<Machine> Win7();
    static std::unique_ptr<Machine> Win10();
    static std::unique_ptr<Machine> Win11();

    // Registry. Each call creates the key path (and its parents) when missing. Roots may also be
    // written in full ("HKEY_LOCAL_MACHINE"); an unknown root stops the test run with a message.
    // Sz and ExpandSz store the text with its terminator; Raw stores the bytes exactly as given.
    // Handles opened through the seam keep the rights asked for: a value write needs
    // KEY_SET_VALUE, creating a key KEY_CREATE_SUB_KEY, a read KEY_QUERY_VALUE or
    // KEY_ENUMERATE_SUB_KEYS, else ERROR_ACCESS_DENIED. A key removed while a handle is open
    // answers that handle with ERROR_KEY_DELETED. The other registry view of 64-bit Windows is
    // kept below each root's key "Wow6432Node": opening a key below a root with
    // KEY_WOW64_32KEY or KEY_WOW64_64KEY opens it there.
    Machine& Key(const std::string& path);
    Machine& Sz(const std::string& path, const std::string& name, const std::string& text);
    Machine& ExpandSz(const std::string& path, const std::string& name, const std::string& text);
    Machine& Dword(const std::string& path, const std::string& name, DWORD value);
    Machine& Raw(const std::string& path, const std::string& name, DWORD type,
                 const std::string& bytes);
    Machine& RemoveKey(const std::string& path);  // with everything under it; no-op when absent

    bool HasKey(const std::string& path) const;
    const Value* FindValue(const std::string& path, const std::string& name) const;
    std::vector<std::string> Subkeys(const std::string& path) const;
    std::vector<std::string> ValueNames(const std::string& path) const;
    // Every key and value below a root (or below any path), one line each, sorted:
    // a readable snapshot for comparing registry states.
    std::string Dump(const std::string& path) const;

    // INI files, by full path (compared without regard to case).
    Machine& Ini(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value);
    Machine& RemoveIni(const std::string& file);

    // System records; tests change fields directly.
    OSVERSIONINFOA version{};
    bool versionSucceeds = true;
    // The extra fields a caller gets when it asks with the larger OSVERSIONINFOEXA record;
    // the 9x family rejects that record (versionExAccepted false).
    bool versionExAccepted = true;
    WORD servicePackMajor = 0;
    WORD servicePackMinor = 0;
    WORD suiteMask = 0;
    BYTE productType = VER_NT_WORKSTATION;
    SYSTEM_INFO systemInfo{};
    MEMORYSTATUS memory{};
    // What "Kernel32.dll" offers as "GlobalMemoryStatusEx" (Windows 2000 and later: the
    // machines made by Win2000, Xp, Win7, Win10 and Win11 have it, with the totals of
    // `memory`); it fails when asked with another record length or when memoryExSucceeds is
    // false.
    bool hasGlobalMemoryStatusEx = false;
    bool memoryExSucceeds = true;
    MEMORYSTATUSEX memoryEx{};
    SYSTEM_POWER_STATUS power{};
    bool powerSucceeds = true;
    std::map<int, int> metrics;  // GetSystemMetrics; absent indices answer 0
    std::string systemDirectory = "C:\\WINDOWS\\system32";
    std::string windowsDirectory = "C:\\WINDOWS";
    std::string computerName = "FAKEPC";
    std::string modulePath = "C:\\Program Files\\DeZIVero\\DeZIVero.DLL";
    // A buffer too small for modulePath: Windows XP fills it without a terminator; Vista and
    // later truncate and terminate. Both return the buffer size with ERROR_INSUFFICIENT_BUFFER.
    bool moduleNameTerminatedWhenTruncated = false;

    // Drive letters 'A' to 'Z'; letters not listed have DRIVE_NO_ROOT_DIR and are absent from
    // the GetLogicalDrives mask.
    std::map<char, Drive> drives;
    bool hasGetDiskFreeSpaceEx = true;  // whether "Kernel32.dll" offers "GetDiskFreeSpaceExA"
    bool kernel32Loads = true;
    // Further functions the machine's system libraries offer by name, by library file name
    // (compared without regard to case, ".dll" optional) and function name. The test supplies
    // each as a function of its own, which answers from Current(). A library listed here
    // loads; so does "Kernel32.dll". Any other library of kDescribedLibraries fails to load
    // with ERROR_MOD_NOT_FOUND, as on a system that lacks it; all others load for real.
    std::map<std::string, std::map<std::string, FARPROC>> libraryFunctions;
    template <typename Function>
    Machine& Offer(const std::string& library, const std::string& name, Function* function) {
        // Through void (*)(): the caller casts back to the real signature.
        libraryFunctions[library][name] =
            reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
        return *this;
    }
    // A 32-bit process on 64-bit Windows: "Kernel32.dll" then offers "IsWow64Process",
    // which answers TRUE.
    bool wow64 = false;

    // What the processor-topology and architecture functions of later systems know of the
    // machine. They are offered only where a test offers them (Offer), with fakes of its own
    // that answer from these fields.
    struct ProcessorCore {
        WORD group;       // processor group (Windows 7 and later)
        KAFFINITY mask;   // its logical processors within the group
    };
    std::vector<ProcessorCore> processorCores;   // GetLogicalProcessorInformation(Ex)
    DWORD activeProcessorCount = 0;              // GetActiveProcessorCount, all groups
    USHORT nativeMachine = 0;                    // IsWow64Process2; 0: the call fails
    SYSTEM_INFO nativeSystemInfo{};              // GetNativeSystemInfo

    // Physical drives by number ("\\.\physicaldriveN"). Only an administrator
    // opens one for data access; anyone opens it without (desired access 0).
    std::map<int, PhysicalDrive> physicalDrives;
    bool administrator = true;

    // The processor-speed driver: present when its full device path
    // ("\\.\<directory>\Rurovezo.zuv") is in this map, answering the speed.
    std::map<std::string, LONG> speedDrivers;
    bool speedRequestSucceeds = true;

    // What the code did.
    int OpenKeys() const;     // registry handles opened and not yet closed
    int OpenHandles() const;  // device handles opened and not yet closed
    int Calls(const std::string& function) const;  // e.g. Calls("GetVersionExA")
    std::vector<std::string> OpenedFiles() const;  // every CreateFileA path, in call order
    void ResetCounts();  // clears Calls and OpenedFiles; open keys and handles stay counted

    struct Impl;
    std::unique_ptr<Impl> impl;
};

// The system libraries a described machine answers for, whatever the host has.
inline constexpr const char* kDescribedLibraries[] = {
    "kernel32.dll", "cfgmgr32.dll", "setupapi.dll", "shlwapi.dll",
};

// Binds the seam to a machine for the life of the scope; scopes nest. Functions the code looked
// up by name are forgotten when a scope begins and ends, so each machine answers its own.
class Scope {
public:
    explicit Scope(Machine& machine);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    Machine* previous_;
};

// The machine the seam answers from now (null outside every Scope: the seam then fails every
// call as a machine without that resource would).
Machine* Current();

}  // namespace platform::fake
