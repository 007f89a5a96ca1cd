// Argument checks of every member: a refused call answers at once, asks the
// system nothing and leaves the object's state and the caller's values as they
// were (only FindDevice has emptied its key by then).
#include <cstring>

#include "object_test_machine.h"

namespace object_test {
namespace {

constexpr char kKeySentinel[] = "Enum\\Sentinel\\0000";

BSTR ModemClass() {
    static BSTR modem = SysAllocString(L"Modem");
    return modem;
}

struct RefusedCall {
    const char* name;
    HRESULT (*call)(CoDeZiVero&);
    bool emptiesKey;
};

constexpr RefusedCall kNullOutPointer[] = {
    {"OSName", [](CoDeZiVero& o) { return o.get_OSName(nullptr); }, false},
    {"OSVersion", [](CoDeZiVero& o) { return o.get_OSVersion(nullptr); }, false},
    {"CSD", [](CoDeZiVero& o) { return o.get_CSD(nullptr); }, false},
    {"CSDVersion", [](CoDeZiVero& o) { return o.get_CSDVersion(nullptr); }, false},
    {"ComputerName", [](CoDeZiVero& o) { return o.get_ComputerName(nullptr); }, false},
    {"BootDrive", [](CoDeZiVero& o) { return o.get_BootDrive(nullptr); }, false},
    {"BootMode", [](CoDeZiVero& o) { return o.get_BootMode(nullptr); }, false},
    {"SysDir", [](CoDeZiVero& o) { return o.get_SysDir(nullptr); }, false},
    {"WinDir", [](CoDeZiVero& o) { return o.get_WinDir(nullptr); }, false},
    {"DebugEnabled", [](CoDeZiVero& o) { return o.get_DebugEnabled(nullptr); }, false},
    {"RegOwnerName", [](CoDeZiVero& o) { return o.get_RegOwnerName(nullptr); }, false},
    {"RegOrganization", [](CoDeZiVero& o) { return o.get_RegOrganization(nullptr); }, false},
    {"RegID", [](CoDeZiVero& o) { return o.get_RegID(nullptr); }, false},
    {"MfgName", [](CoDeZiVero& o) { return o.get_MfgName(nullptr); }, false},
    {"MfgComputerModel", [](CoDeZiVero& o) { return o.get_MfgComputerModel(nullptr); }, false},
    {"NumberOfProcessors", [](CoDeZiVero& o) { return o.get_NumberOfProcessors(nullptr); }, false},
    {"ProcessorId", [](CoDeZiVero& o) { return o.ProcessorId(1, nullptr); }, false},
    {"ProcessorMMXId", [](CoDeZiVero& o) { return o.ProcessorMMXId(1, nullptr); }, false},
    {"ProcessorVendorId", [](CoDeZiVero& o) { return o.ProcessorVendorId(1, nullptr); }, false},
    {"ProcessorSpeed", [](CoDeZiVero& o) { return o.ProcessorSpeed(1, nullptr); }, false},
    {"DockedInfo", [](CoDeZiVero& o) { return o.get_DockedInfo(nullptr); }, false},
    {"CurrentHWProfile", [](CoDeZiVero& o) { return o.get_CurrentHWProfile(nullptr); }, false},
    {"MemoryTotalPhys", [](CoDeZiVero& o) { return o.get_MemoryTotalPhys(nullptr); }, false},
    {"MemoryTotalPageFile", [](CoDeZiVero& o) { return o.get_MemoryTotalPageFile(nullptr); }, false},
    {"MemoryTotalVirtual", [](CoDeZiVero& o) { return o.get_MemoryTotalVirtual(nullptr); }, false},
    {"PowerStatus", [](CoDeZiVero& o) { return o.get_PowerStatus(nullptr); }, false},
    {"BatteryStatus", [](CoDeZiVero& o) { return o.get_BatteryStatus(nullptr); }, false},
    {"BatteryLifeTime", [](CoDeZiVero& o) { return o.get_BatteryLifeTime(nullptr); }, false},
    {"BatteryFullLifeTime", [](CoDeZiVero& o) { return o.get_BatteryFullLifeTime(nullptr); }, false},
    {"HWKey", [](CoDeZiVero& o) { return o.get_HWKey(nullptr); }, false},
    {"DeviceStatus", [](CoDeZiVero& o) { return o.get_DeviceStatus(nullptr); }, false},
    {"GetDeviceInfo",
     [](CoDeZiVero& o) { return o.GetDeviceInfo(ModemClass(), ModemClass(), ModemClass(), nullptr); },
     false},
    {"FindDevice", [](CoDeZiVero& o) { return o.FindDevice(0, ModemClass(), nullptr); }, true},
    {"FixedDiskSizeInMB", [](CoDeZiVero& o) { return o.FixedDiskSizeInMB(0, nullptr); }, false},
    {"FixedDisksSizeInMB", [](CoDeZiVero& o) { return o.get_FixedDisksSizeInMB(nullptr); }, false},
    {"FixedDisksFreeSpaceInMB",
     [](CoDeZiVero& o) { return o.get_FixedDisksFreeSpaceInMB(nullptr); }, false},
    {"HasSCSIBus", [](CoDeZiVero& o) { return o.get_HasSCSIBus(nullptr); }, false},
    {"HasAGPBus", [](CoDeZiVero& o) { return o.get_HasAGPBus(nullptr); }, false},
    {"MemoryTotalPhysInMB", [](CoDeZiVero& o) { return o.get_MemoryTotalPhysInMB(nullptr); }, false},
    {"MemoryAvailPhysInMB", [](CoDeZiVero& o) { return o.get_MemoryAvailPhysInMB(nullptr); }, false},
    {"MemoryTotalPageFileInMB", [](CoDeZiVero& o) { return o.get_MemoryTotalPageFileInMB(nullptr); }, false},
    {"MemoryAvailPageFileInMB", [](CoDeZiVero& o) { return o.get_MemoryAvailPageFileInMB(nullptr); }, false},
    {"OSBuild", [](CoDeZiVero& o) { return o.get_OSBuild(nullptr); }, false},
    {"OSDisplayVersion", [](CoDeZiVero& o) { return o.get_OSDisplayVersion(nullptr); }, false},
    {"OSEdition", [](CoDeZiVero& o) { return o.get_OSEdition(nullptr); }, false},
    {"OSArchitecture", [](CoDeZiVero& o) { return o.get_OSArchitecture(nullptr); }, false},
    {"ProcessorName", [](CoDeZiVero& o) { return o.ProcessorName(1, nullptr); }, false},
    {"ProcessorCoreCount", [](CoDeZiVero& o) { return o.get_ProcessorCoreCount(nullptr); }, false},
    {"ProcessorLogicalCount", [](CoDeZiVero& o) { return o.get_ProcessorLogicalCount(nullptr); }, false},
    {"BIOSVendor", [](CoDeZiVero& o) { return o.get_BIOSVendor(nullptr); }, false},
    {"BIOSVersion", [](CoDeZiVero& o) { return o.get_BIOSVersion(nullptr); }, false},
    {"BIOSReleaseDate", [](CoDeZiVero& o) { return o.get_BIOSReleaseDate(nullptr); }, false},
    {"SystemFamily", [](CoDeZiVero& o) { return o.get_SystemFamily(nullptr); }, false},
    {"BaseBoardManufacturer", [](CoDeZiVero& o) { return o.get_BaseBoardManufacturer(nullptr); }, false},
    {"BaseBoardProduct", [](CoDeZiVero& o) { return o.get_BaseBoardProduct(nullptr); }, false},
    {"BatteryLifePercent", [](CoDeZiVero& o) { return o.get_BatteryLifePercent(nullptr); }, false},
};
static_assert(sizeof kNullOutPointer / sizeof kNullOutPointer[0] == 56, "one row per member");

class NullOutPointer : public ObjectTest {};

TEST_P(NullOutPointer, EveryMemberAnswersEPointerAndAsksTheSystemNothing) {
    CoDeZiVero& o = object();
    for (const RefusedCall& row : kNullOutPointer) {
        SCOPED_TRACE(row.name);
        std::strcpy(StateAccess::HWKey(o), kKeySentinel);
        StateAccess::DeviceStatus(o) = kLongSentinel;
        machine().ResetCounts();

        EXPECT_EQ(E_POINTER, row.call(o));

        EXPECT_EQ(0, SystemCalls(machine()));
        EXPECT_STREQ(row.emptiesKey ? "" : kKeySentinel, StateAccess::HWKey(o));
        EXPECT_EQ(kLongSentinel, StateAccess::DeviceStatus(o));
    }
}

INSTANTIATE_TEST_SUITE_P(ObjectArguments, NullOutPointer,
                         ::testing::Values(Family::Nt, Family::Win9x), FamilyParamName);

// CSDVersion and BootDrive are one operation: it declines without writing.
struct NotImplementedRow {
    const char* name;
    HRESULT (*call)(CoDeZiVero&, BSTR*);
};

constexpr NotImplementedRow kNotImplemented[] = {
    {"CSDVersion", [](CoDeZiVero& o, BSTR* out) { return o.get_CSDVersion(out); }},
    {"BootDrive", [](CoDeZiVero& o, BSTR* out) { return o.get_BootDrive(out); }},
};

class NotImplemented : public ObjectTest {};

TEST_P(NotImplemented, AnswersENotImplAndLeavesTheStringAlone) {
    CoDeZiVero& o = object();
    for (const NotImplementedRow& row : kNotImplemented) {
        SCOPED_TRACE(row.name);
        BSTR value = SentinelBstr();
        machine().ResetCounts();

        EXPECT_EQ(E_NOTIMPL, row.call(o, &value));

        EXPECT_EQ(SentinelBstr(), value);
        EXPECT_EQ(0, SystemCalls(machine()));
    }
}

INSTANTIATE_TEST_SUITE_P(ObjectArguments, NotImplemented,
                         ::testing::Values(Family::Nt, Family::Win9x), FamilyParamName);

// GetDeviceInfo treats a null string as missing and leaves the caller's
// variant uninitialised when it refuses.
struct MissingDeviceInfoArgument {
    const char* name;
    bool nullKey, nullSubkey, nullAskFor;
};

constexpr MissingDeviceInfoArgument kMissingDeviceInfo[] = {
    {"NullKey", true, false, false},
    {"NullSubkeyAlthoughTheOthersAreValid", false, true, false},
    {"NullAskFor", false, false, true},
    {"AllNull", true, true, true},
};

class GetDeviceInfoArguments : public ObjectTest {};

TEST_P(GetDeviceInfoArguments, NullStringsAnswerEPointerAndKeepTheVariant) {
    CoDeZiVero& o = object();
    Bstr key(L"Enum\\Root\\MDMGEN\\0000"), subkey(L""), askFor(L"Class");
    for (const MissingDeviceInfoArgument& row : kMissingDeviceInfo) {
        SCOPED_TRACE(row.name);
        VARIANT value;
        V_VT(&value) = VT_I4;
        V_I4(&value) = static_cast<LONG>(0xDEADBEEF);
        machine().ResetCounts();

        EXPECT_EQ(E_POINTER, o.GetDeviceInfo(row.nullKey ? nullptr : key.Get(),
                                             row.nullSubkey ? nullptr : subkey.Get(),
                                             row.nullAskFor ? nullptr : askFor.Get(), &value));

        EXPECT_EQ(VT_I4, V_VT(&value));
        EXPECT_EQ(static_cast<LONG>(0xDEADBEEF), V_I4(&value));
        EXPECT_EQ(0, SystemCalls(machine()));
    }
}

INSTANTIATE_TEST_SUITE_P(ObjectArguments, GetDeviceInfoArguments,
                         ::testing::Values(Family::Nt, Family::Win9x), FamilyParamName);

// FindDevice empties its key before any check, then refuses without touching
// the result or the status.
struct RefusedFindDevice {
    const char* name;
    LONG number;
    bool nullClass;
    bool nullResult;
};

constexpr RefusedFindDevice kRefusedFindDevice[] = {
    {"NullResult", 0, false, true},
    {"NullClassIsMissingNotEmpty", 0, true, false},
    {"NegativeNumber", -1, false, false},
    {"MostNegativeNumber", LONG(0x80000000), false, false},
};

class FindDeviceArguments : public ObjectTest {};

TEST_P(FindDeviceArguments, RefusedCallsEmptyTheKeyAndKeepTheStatus) {
    CoDeZiVero& o = object();
    for (const RefusedFindDevice& row : kRefusedFindDevice) {
        SCOPED_TRACE(row.name);
        std::strcpy(StateAccess::HWKey(o), kKeySentinel);
        StateAccess::DeviceStatus(o) = kLongSentinel;
        VARIANT_BOOL found = static_cast<VARIANT_BOOL>(0x5A5A);
        machine().ResetCounts();

        EXPECT_EQ(E_POINTER, o.FindDevice(row.number, row.nullClass ? nullptr : ModemClass(),
                                          row.nullResult ? nullptr : &found));

        EXPECT_STREQ("", StateAccess::HWKey(o));
        EXPECT_EQ(kLongSentinel, StateAccess::DeviceStatus(o));
        EXPECT_EQ(static_cast<VARIANT_BOOL>(0x5A5A), found);
        EXPECT_EQ(0, SystemCalls(machine()));
    }
}

INSTANTIATE_TEST_SUITE_P(ObjectArguments, FindDeviceArguments,
                         ::testing::Values(Family::Nt, Family::Win9x), FamilyParamName);

}  // namespace
}  // namespace object_test
