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
#include "sysinfo/module_directory.h"
#include "sysinfo/platform_family.h"
#include "test_support.h"
#include "tests/fake_machine/fake_machine.h"

namespace object_test {

using object::CoDeZiVero;
using object::StateAccess;
using platform::fake::Machine;
using test_support::Bstr;
using test_support::Family;
using test_support::FamilyParamName;
using test_support::FromCodePage;
using test_support::kLongSentinel;
using test_support::SentinelBstr;

// Every function of the seam, so that "asked the system nothing" can be counted.
constexpr const char* kSeamFunctions[] = {
    "RegOpenKeyExA",     "RegCreateKeyExA",     "RegQueryValueExA",     "RegSetValueExA",
    "RegEnumKeyA",       "RegEnumKeyExA",       "RegEnumValueA",        "RegQueryInfoKeyA",
    "RegDeleteKeyA",     "RegDeleteValueA",     "RegCloseKey",          "GetVersionExA",
    "GetSystemInfo",     "GlobalMemoryStatus",  "GetSystemPowerStatus", "GetSystemMetrics",
    "GetSystemDirectoryA", "GetWindowsDirectoryA", "GetComputerNameA",  "GetModuleFileNameA",
    "GetPrivateProfileStringA", "CreateFileA",  "DeviceIoControl",      "CloseHandle",
    "GetLogicalDrives",  "GetDriveTypeA",       "GetDiskFreeSpaceA",    "GetDiskFreeSpaceExA",
    "LoadLibraryA",      "LoadLibraryExA",      "GetProcAddress",       "FreeLibrary",
};

inline int SystemCalls(const Machine& machine) {
    int calls = 0;
    for (const char* function : kSeamFunctions) calls += machine.Calls(function);
    return calls;
}

class ObjectTest : public ::testing::TestWithParam<Family> {
protected:
    void SetUp() override {
        Forget();
        machine_ = test_support::MakeMachine(GetParam());
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

}  // namespace object_test
