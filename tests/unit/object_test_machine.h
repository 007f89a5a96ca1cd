// Fixture for the hardware-information object's tests: a described machine of
// either family behind the seam, and an object built directly on it (no class
// object, no module lock). The process-wide records are forgotten around each
// test so that no test sees another's machine.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "object/co_dezivero.h"
#include "object_state_access.h"
#include "sysinfo/platform_family.h"
#include "sysinfo/module_directory.h"
#include "tests/fake_machine/fake_machine.h"

namespace object_test {

using object::CoDeZiVero;
using object::StateAccess;
using platform::fake::Machine;

enum class Family { Nt, Win9x };

inline const char* FamilyName(Family family) { return family == Family::Nt ? "Nt" : "Win9x"; }

// Every function of the seam, so that "asked the system nothing" can be counted.
constexpr const char* kSeamFunctions[] = {
    "RegOpenKeyExA",     "RegCreateKeyExA",     "RegQueryValueExA",     "RegSetValueExA",
    "RegEnumKeyA",       "RegEnumKeyExA",       "RegEnumValueA",        "RegQueryInfoKeyA",
    "RegDeleteKeyA",     "RegDeleteValueA",     "RegCloseKey",          "GetVersionExA",
    "GetSystemInfo",     "GlobalMemoryStatus",  "GetSystemPowerStatus", "GetSystemMetrics",
    "GetSystemDirectoryA", "GetWindowsDirectoryA", "GetComputerNameA",  "GetModuleFileNameA",
    "GetPrivateProfileStringA", "CreateFileA",  "DeviceIoControl",      "CloseHandle",
    "GetDriveTypeA",     "GetDiskFreeSpaceA",   "GetDiskFreeSpaceExA",  "LoadLibraryA",
    "LoadLibraryExA",    "GetProcAddress",      "FreeLibrary",
};

inline int SystemCalls(const Machine& machine) {
    int calls = 0;
    for (const char* function : kSeamFunctions) calls += machine.Calls(function);
    return calls;
}

// ANSI text as the system code page reads it.
inline std::wstring FromCodePage(const std::string& ansi) {
    const int needed = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(needed > 0 ? needed : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], needed);
    wide.resize(wide.size() - 1);
    return wide;
}

// A BSTR the test owns: what a member hands out, or an argument.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::wstring& text)
        : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    // The out-pointer for a member; frees what was held first.
    BSTR* Out() {
        SysFreeString(text_);
        text_ = nullptr;
        return &text_;
    }
    BSTR get() const { return text_; }
    UINT Length() const { return SysStringLen(text_); }
    std::wstring Text() const { return text_ ? std::wstring(text_, SysStringLen(text_)) : L"<null>"; }

private:
    BSTR text_ = nullptr;
};

// A fake address that nobody may free or read: out-parameters are
// overwritten, never released.
inline BSTR SentinelBstr() { return reinterpret_cast<BSTR>(static_cast<uintptr_t>(0xDEADBEEF)); }

class ObjectTest : public ::testing::TestWithParam<Family> {
protected:
    void SetUp() override {
        Forget();
        machine_ = GetParam() == Family::Nt ? Machine::Nt() : Machine::Win9x();
        machine_->memory.dwLength = sizeof(MEMORYSTATUS);
        scope_ = std::make_unique<platform::fake::Scope>(*machine_);
    }
    void TearDown() override {
        object_.reset();
        scope_.reset();
        Forget();
    }

    Machine& machine() { return *machine_; }

    // A new object on the machine as now described; counts start afresh.
    CoDeZiVero& Build() {
        object_.reset();
        Forget();
        object_.reset(new CoDeZiVero(nullptr));
        machine_->ResetCounts();
        return *object_;
    }
    CoDeZiVero& object() { return object_ ? *object_ : Build(); }

private:
    static void Forget() {
        sysinfo::ForgetPlatformRecord();
        sysinfo::ForgetModuleDirectory();
    }
    std::unique_ptr<Machine> machine_;
    std::unique_ptr<platform::fake::Scope> scope_;
    std::unique_ptr<CoDeZiVero> object_;
};

inline std::string FamilyParamName(const ::testing::TestParamInfo<Family>& info) {
    return FamilyName(info.param);
}

}  // namespace object_test
