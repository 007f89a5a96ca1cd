// The module record's start and termination: its heaps follow the machine,
// termination releases the cached class objects, runs the termination list
// newest first and destroys the heaps.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "server/server_module.h"
#include "tests/fake_machine/fake_machine.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;

std::string g_order;

void Record(DWORD_PTR argument) noexcept { g_order += static_cast<char>(argument); }

// Stands in for a cached class object: counts its releases.
class CountingUnknown final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++count); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--count); }
    LONG count = 1;
};

class ServerModuleTest : public testing::Test {
protected:
    void SetUp() override {
        g_order.clear();
        machine_ = Machine::Win9x();
        machine_->systemInfo.dwNumberOfProcessors = 2;
        scope_ = std::make_unique<Scope>(*machine_);
    }

    std::unique_ptr<Machine> machine_;
    std::unique_ptr<Scope> scope_;
};

TEST_F(ServerModuleTest, StartRecordsTheInstanceAndBuildsTheHeaps) {
    server::ServerModule module;
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(static_cast<UINT_PTR>(0x10000000));
    module.Start(instance);
    EXPECT_EQ(module.Instance(), instance);
    EXPECT_EQ(module.LockCount(), 0);
    EXPECT_NE(module.allocator.BaseHeap(), nullptr);
    EXPECT_EQ(module.allocator.HeapMask(), 3u);
    module.Terminate();
    EXPECT_EQ(module.allocator.BaseHeap(), nullptr);
}

TEST_F(ServerModuleTest, TerminationRunsTheListNewestFirstOnce) {
    server::ServerModule module;
    module.Start(nullptr);
    ASSERT_EQ(module.AddTermination(Record, 'a'), S_OK);
    ASSERT_EQ(module.AddTermination(Record, 'b'), S_OK);
    ASSERT_EQ(module.AddTermination(Record, 'c'), S_OK);
    EXPECT_EQ(module.TerminationCount(), 3u);
    EXPECT_EQ(g_order, "");
    module.Terminate();
    EXPECT_EQ(g_order, "cba");
    EXPECT_EQ(module.TerminationCount(), 0u);
    module.Terminate();  // a second termination finds nothing left to run
    EXPECT_EQ(g_order, "cba");
}

TEST_F(ServerModuleTest, TerminationReleasesTheCachedClassObject) {
    server::ServerModule module;
    module.Start(nullptr);
    CountingUnknown classObject;
    module.ClassObject(0) = &classObject;
    module.Terminate();
    EXPECT_EQ(classObject.count, 0);
    EXPECT_EQ(module.ClassObject(0), nullptr);
}

TEST_F(ServerModuleTest, LocksCountBothWays) {
    server::ServerModule module;
    module.Start(nullptr);
    EXPECT_EQ(module.Lock(), 1);
    EXPECT_EQ(module.Lock(), 2);
    EXPECT_EQ(module.Unlock(), 1);
    EXPECT_EQ(module.Unlock(), 0);
    EXPECT_EQ(module.Unlock(), -1);
    module.Terminate();
}

TEST_F(ServerModuleTest, LocksWorkBeforeStartAndAfterTermination) {
    server::ServerModule module;
    {
        server::ModuleLockGuard guard(module.typeInfoLock);
        server::ModuleLockGuard nested(module.typeInfoLock);  // a critical section may be re-entered
    }
    EXPECT_EQ(module.AddTermination(Record, 'x'), S_OK);
    module.Terminate();
    EXPECT_EQ(g_order, "x");
    server::ModuleLockGuard again(module.typeInfoLock);
}

}  // namespace
