// Every member of the registered component through IDispatch (its DISPID
// asked once, then Invoke) beside the bare platform calls its answer makes
// afresh (bare_calls.h), in alternating rounds. A member answered from the
// records taken at creation, a constant or the object's own fields has no
// bare side.
//
// Usage: member_cost.exe ROUNDS ROUND_MS [MEMBER...]   (NT family, seeded prefix)
// Prints "member|NAME|IDISPATCH_NS|BARE_NS or -|CALLS_PER_ROUND|BARE CALLS" per
// member and "member_cost: N members" last; exit code 1 when a call fails.
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "DeZIVero_h.h"
#include "bare_calls.h"
#include "dezivero_members.h"
#include "fastest_round.h"
#include "registered_object.h"

namespace {

struct Row {
    const wchar_t* member;
    LONG number;               // the first argument, where the member takes a number
    const char* texts[3];      // the text arguments, in order
    bare::Routine bare;        // null: nothing to call afresh
    const char* bareCalls;
};

constexpr char kRecord[] = "none: the records taken at creation";
constexpr char kOwnField[] = "none: the object's last search";
constexpr char kConstant[] = "none: a constant answer";

const Row kRows[] = {
    {L"OSName", 0, {}, bare::OSName, "registry read: CurrentVersion ProductName"},
    {L"OSVersion", 0, {}, bare::OSVersion, "2 registry reads: CurrentVersion, CSDVersion"},
    {L"CSD", 0, {}, nullptr, kRecord},
    {L"CSDVersion", 0, {}, nullptr, "none: not implemented (E_NOTIMPL)"},
    {L"ComputerName", 0, {}, bare::ComputerName, "GetComputerNameA"},
    {L"BootDrive", 0, {}, nullptr, "none: not implemented (E_NOTIMPL)"},
    {L"BootMode", 0, {}, bare::BootMode, "GetSystemMetrics(SM_CLEANBOOT)"},
    {L"SysDir", 0, {}, bare::SysDir, "GetSystemDirectoryA"},
    {L"WinDir", 0, {}, bare::WinDir, "GetWindowsDirectoryA"},
    {L"DebugEnabled", 0, {}, bare::DebugEnabled, "GetSystemMetrics(SM_DEBUG)"},
    {L"RegOwnerName", 0, {}, bare::RegOwnerName, "registry read: CurrentVersion RegisteredOwner"},
    {L"RegOrganization", 0, {}, bare::RegOrganization, "registry read: CurrentVersion RegisteredOrganization"},
    {L"RegID", 0, {}, bare::RegID, "registry read: CurrentVersion ProductId"},
    {L"MfgName", 0, {}, bare::MfgName, "GetSystemDirectoryA, GetPrivateProfileStringA: OEMINFO.INI"},
    {L"MfgComputerModel", 0, {}, bare::MfgComputerModel,
     "GetSystemDirectoryA, GetPrivateProfileStringA: OEMINFO.INI"},
    {L"NumberOfProcessors", 0, {}, nullptr, kRecord},
    {L"ProcessorId", bare::kProcessor, {}, bare::ProcessorId, "registry read: CentralProcessor\\0 Identifier"},
    {L"ProcessorMMXId", bare::kProcessor, {}, bare::ProcessorMMXId,
     "registry read: CentralProcessor\\0 MMXIdentifier"},
    {L"ProcessorVendorId", bare::kProcessor, {}, bare::ProcessorVendorId,
     "registry read: CentralProcessor\\0 VendorIdentifier"},
    {L"ProcessorSpeed", bare::kProcessor, {}, bare::ProcessorSpeed, "registry read: CentralProcessor\\0 ~MHz"},
    {L"DockedInfo", 0, {}, nullptr, kConstant},
    {L"CurrentHWProfile", 0, {}, nullptr, kConstant},
    {L"MemoryTotalPhys", 0, {}, nullptr, kRecord},
    {L"MemoryTotalPageFile", 0, {}, nullptr, kRecord},
    {L"MemoryTotalVirtual", 0, {}, nullptr, kRecord},
    {L"PowerStatus", 0, {}, nullptr, kRecord},
    {L"BatteryStatus", 0, {}, nullptr, kRecord},
    {L"BatteryLifeTime", 0, {}, nullptr, kRecord},
    {L"BatteryFullLifeTime", 0, {}, nullptr, kRecord},
    {L"HWKey", 0, {}, nullptr, kOwnField},
    {L"DeviceStatus", 0, {}, nullptr, kOwnField},
    {L"GetDeviceInfo", 0, {bare::kDeviceKey, "", bare::kDeviceValue}, bare::GetDeviceInfo,
     "registry read: the display adapter's DeviceDesc"},
    {L"FindDevice", 0, {bare::kDeviceClass}, bare::FindDevice,
     "services walk to Display 0: Enum keys, instance Class, StatusFlags, Problem"},
    {L"FixedDiskSizeInMB", bare::kDisk, {}, bare::FixedDiskSizeInMB,
     "CreateFileA, DeviceIoControl (drive geometry), CloseHandle"},
    {L"FixedDisksSizeInMB", 0, {}, bare::FixedDisksSizeInMB,
     "GetLogicalDrives; GetDriveTypeA per letter present; GetDiskFreeSpaceExA per fixed drive"},
    {L"FixedDisksFreeSpaceInMB", 0, {}, bare::FixedDisksFreeSpaceInMB,
     "GetLogicalDrives; GetDriveTypeA per letter present; GetDiskFreeSpaceExA per fixed drive"},
    {L"HasSCSIBus", 0, {}, bare::HasSCSIBus, "services walk to SCSIAdapter 0, its DeviceDesc"},
    {L"HasAGPBus", 0, {}, bare::HasAGPBus, "services walk to Display 0, its DeviceDesc"},
    {L"MemoryTotalPhysInMB", 0, {}, bare::MemoryStatusEx, "GlobalMemoryStatusEx"},
    {L"MemoryAvailPhysInMB", 0, {}, bare::MemoryStatusEx, "GlobalMemoryStatusEx"},
    {L"MemoryTotalPageFileInMB", 0, {}, bare::MemoryStatusEx, "GlobalMemoryStatusEx"},
    {L"MemoryAvailPageFileInMB", 0, {}, bare::MemoryStatusEx, "GlobalMemoryStatusEx"},
    {L"OSBuild", 0, {}, bare::OSBuild, "2 registry reads: CurrentVersion CurrentBuildNumber, UBR"},
    {L"OSDisplayVersion", 0, {}, bare::OSDisplayVersion,
     "registry reads: CurrentVersion DisplayVersion, else ReleaseId"},
    {L"OSEdition", 0, {}, bare::OSEdition, "registry read: CurrentVersion EditionID"},
    {L"OSArchitecture", 0, {}, bare::OSArchitecture, "IsWow64Process2, else GetNativeSystemInfo"},
    {L"ProcessorName", bare::kProcessor, {}, bare::ProcessorName,
     "registry read: CentralProcessor\\0 ProcessorNameString"},
    {L"ProcessorCoreCount", 0, {}, bare::ProcessorCoreCount,
     "GetLogicalProcessorInformationEx(RelationProcessorCore)"},
    {L"ProcessorLogicalCount", 0, {}, bare::ProcessorLogicalCount,
     "GetActiveProcessorCount(ALL_PROCESSOR_GROUPS)"},
    {L"BIOSVendor", 0, {}, bare::BIOSVendor, "registry read: System\\BIOS BIOSVendor"},
    {L"BIOSVersion", 0, {}, bare::BIOSVersion, "registry read: System\\BIOS BIOSVersion"},
    {L"BIOSReleaseDate", 0, {}, bare::BIOSReleaseDate, "registry read: System\\BIOS BIOSReleaseDate"},
    {L"SystemFamily", 0, {}, bare::SystemFamily, "registry read: System\\BIOS SystemFamily"},
    {L"BaseBoardManufacturer", 0, {}, bare::BaseBoardManufacturer,
     "registry read: System\\BIOS BaseBoardManufacturer"},
    {L"BaseBoardProduct", 0, {}, bare::BaseBoardProduct, "registry read: System\\BIOS BaseBoardProduct"},
    {L"BatteryLifePercent", 0, {}, bare::BatteryLifePercent, "GetSystemPowerStatus"},
};
static_assert(sizeof kRows / sizeof kRows[0] == members::kMemberCount, "a row for every member");

BSTR Wide(const char* text) {
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH);
    return SysAllocString(wide);
}

// One member's call through IDispatch with its arguments in place; the status
// of the last call, the member's own when Invoke reports an exception.
class Invocation {
public:
    Invocation(IDispatch* dispatch, const members::Member& member, const Row& row) : dispatch_(dispatch) {
        LPOLESTR name = const_cast<LPOLESTR>(member.name);
        status = dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id_);
        flags_ = member.IsProperty() ? DISPATCH_PROPERTYGET : DISPATCH_METHOD;
        const unsigned count = member.ArgumentCount();
        unsigned text = 0;
        for (unsigned i = 0; i < count; ++i) {
            VARIANT& v = args_[count - 1 - i];  // the last argument first
            VariantInit(&v);
            V_VT(&v) = member.ArgumentType(i);
            if (V_VT(&v) == VT_I4)
                V_I4(&v) = row.number;
            else
                V_BSTR(&v) = Wide(row.texts[text++]);
        }
        params_ = {count ? args_ : nullptr, nullptr, count, 0};
    }
    ~Invocation() {
        for (unsigned i = 0; i < params_.cArgs; ++i) VariantClear(&args_[i]);
    }
    Invocation(const Invocation&) = delete;
    Invocation& operator=(const Invocation&) = delete;

    void operator()() {
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO exception = {};
        status = dispatch_->Invoke(id_, IID_NULL, LOCALE_USER_DEFAULT, flags_, &params_, &result, &exception,
                                   nullptr);
        if (status == DISP_E_EXCEPTION) {
            if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
            status = exception.scode;
            SysFreeString(exception.bstrSource);
            SysFreeString(exception.bstrDescription);
            SysFreeString(exception.bstrHelpFile);
        }
        VariantClear(&result);
    }

    HRESULT status = E_UNEXPECTED;

private:
    IDispatch* dispatch_;
    DISPID id_ = DISPID_UNKNOWN;
    WORD flags_ = 0;
    VARIANT args_[3];
    DISPPARAMS params_ = {};
};

const members::Member* MemberNamed(const wchar_t* name) {
    for (const members::Member& m : members::kMembers)
        if (std::wcscmp(m.name, name) == 0) return &m;
    return nullptr;
}

bool Chosen(const Row& row, int argc, char** argv) {
    if (argc <= 3) return true;
    for (int i = 3; i < argc; ++i) {
        wchar_t name[64];
        MultiByteToWideChar(CP_ACP, 0, argv[i], -1, name, 64);
        if (std::wcscmp(name, row.member) == 0) return true;
    }
    return false;
}

// The bare walk must stop at the key where the member's search stopped.
bool SameDeviceFound(IDeZiVero* object) {
    BSTR deviceClass = Wide(bare::kDeviceClass);
    VARIANT_BOOL found = VARIANT_FALSE;
    object->FindDevice(0, deviceClass, &found);
    SysFreeString(deviceClass);
    BSTR key = nullptr;
    object->get_HWKey(&key);
    bare::FindDevice();
    BSTR bareKey = Wide(bare::FoundKey());
    const bool same = found == VARIANT_TRUE && key && std::wcscmp(key, bareKey) == 0;
    if (!same) std::printf("FindDevice found \"%ls\", the bare walk \"%ls\"\n", key ? key : L"", bareKey);
    SysFreeString(key);
    SysFreeString(bareKey);
    return same;
}

int Run(int rounds, double roundMs, int argc, char** argv) {
    IDeZiVero* object = bench::CreateRegisteredObject();
    if (!object) return 1;
    const bool processorNamedByRecord = bare::ProcessorNamedByRecord();
    int measured = 0;
    bool ok = true;
    for (const Row& row : kRows) {
        if (!Chosen(row, argc, argv)) continue;
        const members::Member* member = MemberNamed(row.member);
        Invocation invoke(object, *member, row);
        bare::Routine bareRoutine = row.bare;
        const char* bareCalls = row.bareCalls;
        // The processor record names an Intel x86 type itself, and then nothing is read afresh.
        if (bareRoutine == bare::ProcessorId && processorNamedByRecord) {
            bareRoutine = nullptr;
            bareCalls = kRecord;
        }
        const bench::Timing t = bench::AlternateRounds(invoke, bareRoutine, rounds, roundMs);
        if (invoke.status != S_OK && invoke.status != E_NOTIMPL) {
            std::printf("%ls failed with 0x%08lX\n", row.member, static_cast<unsigned long>(invoke.status));
            ok = false;
            continue;
        }
        char bareNs[32] = "-";
        if (bareRoutine) std::snprintf(bareNs, sizeof bareNs, "%.0f", t.secondNs);
        std::printf("member|%ls|%.0f|%s|%d|%s\n", row.member, t.firstNs, bareNs, t.runs, bareCalls);
        std::fflush(stdout);
        ++measured;
    }
    if (!SameDeviceFound(object)) ok = false;
    object->Release();
    std::printf("member_cost: %d members\n", measured);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: member_cost ROUNDS ROUND_MS [MEMBER...]\n");
        return 2;
    }
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    if (version.dwPlatformId != VER_PLATFORM_WIN32_NT) {
        std::printf("member_cost measures the NT family's calls; this prefix runs another\n");
        return 2;
    }
    if (FAILED(CoInitialize(nullptr))) return 1;
    const int rc = Run(std::atoi(argv[1]), std::atof(argv[2]), argc, argv);
    CoUninitialize();
    return rc;
}
