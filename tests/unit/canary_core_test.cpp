// Canaries around the fixed buffers of HwInfoCore and of the object: each is
// built in a block filled with 0xCC and given an answer that exactly fits its
// buffer and one a character too long. Afterwards every byte of the block
// outside the buffers the routine owns must be as it was: the other buffers,
// the records, and the sentinel bytes behind the object.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstring>
#include <memory>
#include <new>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "object/co_dezivero.h"
#include "object_state_access.h"
#include "sysinfo/hw_info_core.h"
#include "sysinfo/platform_family.h"
#include "sysinfo/module_directory.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;
using test_support::kFill;
using object::StateAccess;
using sysinfo::HwInfoCore;

constexpr size_t kGuard = 64;

const std::string kNtVersion = "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion";
const std::string k9xVersion = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion";
const std::string kCpu = "HKLM\\Hardware\\Description\\System\\CentralProcessor\\0";

// T constructed in a block of 0xCC bytes with kGuard sentinel bytes behind it.
template <class T>
class Guarded {
public:
    template <class... Args>
    explicit Guarded(Args&&... args) {
        std::memset(block_, kFill, sizeof block_);
        object_ = new (block_) T(std::forward<Args>(args)...);
    }
    ~Guarded() { object_->~T(); }
    Guarded(const Guarded&) = delete;
    Guarded& operator=(const Guarded&) = delete;

    T& operator*() { return *object_; }
    std::vector<unsigned char> Snapshot() const {
        return std::vector<unsigned char>(block_, block_ + sizeof block_);
    }
    size_t OffsetOf(const void* field) const {
        return static_cast<size_t>(static_cast<const unsigned char*>(field) - block_);
    }
    // Bytes that differ from before, outside the allowed ranges [offset, offset + size).
    std::vector<size_t> ChangedOutside(const std::vector<unsigned char>& before,
                                       const std::vector<std::pair<size_t, size_t>>& allowed) const {
        std::vector<size_t> changed;
        for (size_t i = 0; i < sizeof block_; ++i) {
            bool inside = false;
            for (const auto& range : allowed)
                inside = inside || (i >= range.first && i < range.first + range.second);
            if (!inside && block_[i] != before[i]) changed.push_back(i);
        }
        return changed;
    }
    bool GuardIntact() const {
        for (size_t i = sizeof(T); i < sizeof block_; ++i)
            if (block_[i] != kFill) return false;
        return true;
    }

private:
    alignas(T) unsigned char block_[sizeof(T) + kGuard];
    T* object_ = nullptr;
};

std::string Chars(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += static_cast<char>('a' + i % 26);
    return text;
}

struct Field {
    const char* start;
    size_t size;
};

// The constructor empties every text buffer with a zero in its first byte, so
// a terminator written one past the buffer before would land on a zero and go
// unseen; the sentinel fill makes every byte of every buffer tell.
void FillTextBuffers(HwInfoCore& c) {
    for (char* buffer : {c.owner_, c.organization_, c.productId_, c.oemMaker_, c.oemModel_,
                         c.processorId_, c.processorMmx_, c.processorVendor_, c.osName_,
                         c.osVersion_, c.csd_})
        std::memset(buffer, kFill, sysinfo::kAnswerTextSize);
    std::memset(c.computerName_, kFill, sizeof c.computerName_);
    std::memset(c.sysDir_, kFill, sizeof c.sysDir_);
    std::memset(c.winDir_, kFill, sizeof c.winDir_);
}

// ---- HwInfoCore -------------------------------------------------------------------------

struct CoreRow {
    const char* name;
    bool nt;
    // Describes an answer of length characters.
    void (*describe)(Machine&, size_t length);
    size_t exactLength;       // the longest answer the buffer takes whole
    size_t tooLongResult;     // the length answered for one character more
    const char* (*call)(HwInfoCore&);
    Field (*field)(HwInfoCore&);
    Field (*alsoWritten)(HwInfoCore&);  // a buffer the routine fills on the way, or null
};

void PrintTo(const CoreRow& row, std::ostream* os) { *os << row.name; }

Field SysDirField(HwInfoCore& c) { return {c.sysDir_, sizeof c.sysDir_}; }

const CoreRow kCoreRows[] = {
    {"ComputerName", true, [](Machine& m, size_t n) { m.computerName = Chars(n); }, 15, 0,
     [](HwInfoCore& c) { return c.ComputerName(); },
     [](HwInfoCore& c) { return Field{c.computerName_, sizeof c.computerName_}; }, nullptr},
    {"SysDir", true, [](Machine& m, size_t n) { m.systemDirectory = "C:\\" + Chars(n - 3); }, 259,
     0, [](HwInfoCore& c) { return c.SysDir(); }, SysDirField, nullptr},
    {"WinDir", true, [](Machine& m, size_t n) { m.windowsDirectory = "C:\\" + Chars(n - 3); },
     259, 0, [](HwInfoCore& c) { return c.WinDir(); },
     [](HwInfoCore& c) { return Field{c.winDir_, sizeof c.winDir_}; }, nullptr},
    {"RegOwnerName", true, [](Machine& m, size_t n) { m.Sz(kNtVersion, "RegisteredOwner", Chars(n)); },
     1039, 0, [](HwInfoCore& c) { return c.RegOwnerName(); },
     [](HwInfoCore& c) { return Field{c.owner_, sizeof c.owner_}; }, nullptr},
    {"RegOrganization", false,
     [](Machine& m, size_t n) { m.Sz(k9xVersion, "RegisteredOrganization", Chars(n)); }, 1039, 0,
     [](HwInfoCore& c) { return c.RegOrganization(); },
     [](HwInfoCore& c) { return Field{c.organization_, sizeof c.organization_}; }, nullptr},
    {"RegID", true, [](Machine& m, size_t n) { m.Sz(kNtVersion, "ProductId", Chars(n)); }, 1039,
     0, [](HwInfoCore& c) { return c.RegID(); },
     [](HwInfoCore& c) { return Field{c.productId_, sizeof c.productId_}; }, nullptr},
    // The INI reader cuts a long entry to the buffer itself.
    {"MfgName", true,
     [](Machine& m, size_t n) {
         m.Ini(m.systemDirectory + "\\OEMINFO.INI", "general", "Manufacturer", Chars(n));
     },
     1039, 1039, [](HwInfoCore& c) { return c.MfgName(); },
     [](HwInfoCore& c) { return Field{c.oemMaker_, sizeof c.oemMaker_}; }, SysDirField},
    {"MfgComputerModel", false,
     [](Machine& m, size_t n) {
         m.Ini(m.systemDirectory + "\\OEMINFO.INI", "general", "Model", Chars(n));
     },
     1039, 1039, [](HwInfoCore& c) { return c.MfgComputerModel(); },
     [](HwInfoCore& c) { return Field{c.oemModel_, sizeof c.oemModel_}; }, SysDirField},
    {"ProcessorId", true,
     [](Machine& m, size_t n) {
         m.systemInfo.dwProcessorType = 0;
         m.Sz(kCpu, "Identifier", Chars(n));
     },
     1039, 0, [](HwInfoCore& c) { return c.ProcessorId(1); },
     [](HwInfoCore& c) { return Field{c.processorId_, sizeof c.processorId_}; }, nullptr},
    {"ProcessorMMXId", true, [](Machine& m, size_t n) { m.Sz(kCpu, "MMXIdentifier", Chars(n)); },
     1039, 0, [](HwInfoCore& c) { return c.ProcessorMMXId(1); },
     [](HwInfoCore& c) { return Field{c.processorMmx_, sizeof c.processorMmx_}; }, nullptr},
    {"ProcessorVendorId", false,
     [](Machine& m, size_t n) { m.Sz(kCpu, "VendorIdentifier", Chars(n)); }, 1039, 0,
     [](HwInfoCore& c) { return c.ProcessorVendorId(1); },
     [](HwInfoCore& c) { return Field{c.processorVendor_, sizeof c.processorVendor_}; }, nullptr},
    // Without a product name the NT family falls back to the product INI in the system directory.
    {"OSName", true, [](Machine& m, size_t n) { m.Sz(kNtVersion, "ProductName", Chars(n)); }, 1039,
     0, [](HwInfoCore& c) { return c.OSName(); },
     [](HwInfoCore& c) { return Field{c.osName_, sizeof c.osName_}; }, SysDirField},
    {"OSVersion9x", false, [](Machine& m, size_t n) { m.Sz(k9xVersion, "VersionNumber", Chars(n)); },
     1039, 0, [](HwInfoCore& c) { return c.OSVersion(); },
     [](HwInfoCore& c) { return Field{c.osVersion_, sizeof c.osVersion_}; }, nullptr},
    // "5.1 (" and ")" around the service pack; a join too long is cut at the buffer's end.
    {"OSVersionNtJoin", true,
     [](Machine& m, size_t n) {
         m.Sz(kNtVersion, "CurrentVersion", "5.1").Sz(kNtVersion, "CSDVersion", Chars(n - 6));
     },
     1039, 1039, [](HwInfoCore& c) { return c.OSVersion(); },
     [](HwInfoCore& c) { return Field{c.osVersion_, sizeof c.osVersion_}; }, nullptr},
    // The version record's own field holds 128 bytes, terminated or not.
    {"CSD", true,
     [](Machine& m, size_t n) {
         std::memset(m.version.szCSDVersion, 0, sizeof m.version.szCSDVersion);
         std::memcpy(m.version.szCSDVersion, Chars(n).data(), n);
     },
     127, 128, [](HwInfoCore& c) { return c.CSD(); },
     [](HwInfoCore& c) { return Field{c.csd_, sizeof c.csd_}; }, nullptr},
};

class CanaryCoreTest : public ::testing::TestWithParam<CoreRow> {
protected:
    void SetUp() override { Forget(); }
    void TearDown() override { Forget(); }
    static void Forget() {
        sysinfo::ForgetPlatformRecord();
        sysinfo::ForgetModuleDirectory();
    }
};

TEST_P(CanaryCoreTest, ExactFitAndOneTooLongStayInTheirBuffer) {
    const CoreRow& row = GetParam();
    for (bool tooLong : {false, true}) {
        auto machine = row.nt ? Machine::Nt() : Machine::Win9x();
        row.describe(*machine, row.exactLength + (tooLong ? 1 : 0));
        Scope scope(*machine);
        sysinfo::ForgetPlatformRecord();
        auto guarded = std::make_unique<Guarded<HwInfoCore>>();
        HwInfoCore& core = **guarded;
        FillTextBuffers(core);
        const auto before = guarded->Snapshot();

        const char* answer = row.call(core);
        const Field field = row.field(core);
        EXPECT_EQ(field.start, answer);
        EXPECT_EQ(tooLong ? row.tooLongResult : row.exactLength, std::strlen(answer)) << tooLong;

        std::vector<std::pair<size_t, size_t>> allowed = {
            {guarded->OffsetOf(field.start), field.size}};
        if (row.alsoWritten) {
            const Field also = row.alsoWritten(core);
            allowed.push_back({guarded->OffsetOf(also.start), also.size});
        }
        const auto changed = guarded->ChangedOutside(before, allowed);
        EXPECT_TRUE(changed.empty()) << changed.size() << " bytes changed, first at offset "
                                     << (changed.empty() ? 0 : changed.front()) << " of "
                                     << sizeof(HwInfoCore);
        EXPECT_TRUE(guarded->GuardIntact()) << tooLong;
    }
}

INSTANTIATE_TEST_SUITE_P(Canary, CanaryCoreTest, ::testing::ValuesIn(kCoreRows),
                         test_support::RowName());

// ---- The object's HWKey -----------------------------------------------------------------

struct HWKeyRow {
    const char* name;
    bool nt;
    size_t pathLength;  // characters of the hardware key or instance path
    bool terminated;    // whether the registry value ends in a zero
    size_t keyLength;   // characters of HWKey afterwards (0: nothing found)
};

void PrintTo(const HWKeyRow& row, std::ostream* os) { *os << row.name; }

// "Enum\" before a 9x hardware key and "System\CurrentControlSet\Enum\"
// before an NT instance path; the value is read into what is left but the
// last byte of HWKey, so a stored terminator takes a character's room.
const HWKeyRow kHWKeyRows[] = {
    {"HardwareKeyExactFit", false, 1034, false, 1039},
    {"HardwareKeyOneTooLong", false, 1035, false, 0},
    {"HardwareKeyWithTerminatorExactFit", false, 1033, true, 1038},
    {"HardwareKeyWithTerminatorOneTooLong", false, 1034, true, 0},
    {"InstancePathExactFit", true, 1009, false, 1039},
    {"InstancePathOneTooLong", true, 1010, false, 0},
    {"InstancePathWithTerminatorExactFit", true, 1008, true, 1038},
    {"InstancePathWithTerminatorOneTooLong", true, 1009, true, 0},
};

// A key path of count characters: components of at most 99 characters.
std::string PathChars(size_t count) {
    std::string chars;
    for (size_t i = 0; i < count; ++i)
        chars += (i % 100 == 99 && i + 1 < count) ? '\\' : static_cast<char>('a' + i % 26);
    return chars;
}

class CanaryHWKeyTest : public ::testing::TestWithParam<HWKeyRow> {
protected:
    void SetUp() override { sysinfo::ForgetPlatformRecord(); }
    void TearDown() override { sysinfo::ForgetPlatformRecord(); }
};

TEST_P(CanaryHWKeyTest, FindDeviceFillsHWKeyAndNothingElse) {
    const HWKeyRow& row = GetParam();
    auto machine = row.nt ? Machine::Nt() : Machine::Win9x();
    const std::string path = PathChars(row.pathLength);
    const std::string value = row.terminated ? path + '\0' : path;
    if (row.nt) {
        const std::string svc = "HKLM\\System\\CurrentControlSet\\Services\\orv\\Enum";
        machine->Dword(svc, "Count", 1)
            .Raw(svc, "0", REG_SZ, value)
            .Sz("HKLM\\System\\CurrentControlSet\\Enum\\" + path, "Class", "Orv")
            .Dword("HKLM\\System\\CurrentControlSet\\Enum\\" + path, "StatusFlags", 1);
    } else {
        machine->Raw("HKDD\\Config Manager\\Enum\\C0", "HardwareKey", REG_SZ, value)
            .Sz("HKLM\\Enum\\" + path, "Class", "Orv");
    }
    Scope scope(*machine);
    sysinfo::ForgetPlatformRecord();
    sysinfo::ForgetModuleDirectory();
    auto guarded = std::make_unique<Guarded<object::CoDeZiVero>>(nullptr);
    object::CoDeZiVero& object = **guarded;
    FillTextBuffers(StateAccess::Core(object));
    const auto before = guarded->Snapshot();

    BSTR cls = SysAllocString(L"Orv");
    VARIANT_BOOL found = 0x5A5A;
    ASSERT_EQ(S_OK, object.FindDevice(0, cls, &found));
    SysFreeString(cls);
    EXPECT_EQ(row.keyLength != 0 ? VARIANT_TRUE : VARIANT_FALSE, found);
    EXPECT_EQ(row.keyLength, std::strlen(StateAccess::HWKey(object)));

    const auto changed = guarded->ChangedOutside(
        before, {{guarded->OffsetOf(StateAccess::HWKey(object)), sizeof StateAccess::HWKey(object)},
                 {guarded->OffsetOf(&StateAccess::DeviceStatus(object)),
                  sizeof StateAccess::DeviceStatus(object)}});
    EXPECT_TRUE(changed.empty()) << changed.size() << " bytes changed, first at offset "
                                 << (changed.empty() ? 0 : changed.front());
    EXPECT_TRUE(guarded->GuardIntact());

    BSTR key = nullptr;
    ASSERT_EQ(S_OK, object.get_HWKey(&key));
    EXPECT_EQ(row.keyLength, SysStringLen(key));
    SysFreeString(key);
}

INSTANTIATE_TEST_SUITE_P(Canary, CanaryHWKeyTest, ::testing::ValuesIn(kHWKeyRows),
                         test_support::RowName());

}  // namespace
