// Fixture for the system-query tests: a described machine of either family,
// bound to the platform seam, with the process-wide records (platform family,
// module directory) forgotten before and after each test so that no test sees
// another's machine.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "sysinfo/hw_info_core.h"
#include "sysinfo/platform_family.h"
#include "sysinfo/module_directory.h"
#include "test_support.h"
#include "tests/fake_machine/fake_machine.h"

namespace sysinfo_test {

using test_support::Family;
using test_support::FamilyName;
using test_support::MakeMachine;

constexpr char kNtCurrentVersion[] = "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr char kWindowsCurrentVersion[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kCentralProcessor[] = "HKLM\\Hardware\\Description\\System\\CentralProcessor";

inline std::string ProcessorKey(int index) {
    return std::string(kCentralProcessor) + "\\" + std::to_string(index);
}

class MachineTest : public ::testing::Test {
protected:
    void SetUp() override { Forget(); }
    void TearDown() override {
        scope_.reset();
        Forget();
    }

    // Describes the machine; Bind() then puts it behind the seam.
    platform::fake::Machine& Describe(Family family) { return Describe(MakeMachine(family)); }
    // A test may describe one machine after another; the last one's binding ends first.
    platform::fake::Machine& Describe(std::unique_ptr<platform::fake::Machine> machine) {
        scope_.reset();
        Forget();
        machine_ = std::move(machine);
        return *machine_;
    }
    platform::fake::Machine& Bind() {
        scope_ = std::make_unique<platform::fake::Scope>(*machine_);
        return *machine_;
    }
    platform::fake::Machine& Use(Family family) {
        Describe(family);
        return Bind();
    }
    platform::fake::Machine& machine() { return *machine_; }

    // A fresh core on the bound machine: it takes its records now.
    std::unique_ptr<sysinfo::HwInfoCore> NewCore() {
        return std::make_unique<sysinfo::HwInfoCore>();
    }

private:
    static void Forget() {
        sysinfo::ForgetPlatformRecord();
        sysinfo::ForgetModuleDirectory();
    }
    std::unique_ptr<platform::fake::Machine> machine_;
    std::unique_ptr<platform::fake::Scope> scope_;
};

}  // namespace sysinfo_test
