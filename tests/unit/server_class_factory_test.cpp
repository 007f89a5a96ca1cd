// The class object and the module lock count, in-process: its count and the
// one module lock its clients share, CreateInstance's checks, LockServer,
// and the cached class object behind GetClassObject.
#include <gtest/gtest.h>

#include <memory>

#include "DeZIVero_h.h"
#include "server/class_factory.h"
#include "server/exports.h"
#include "server/server_module.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;
using test_support::kSentinelPointer;


// An instance creation routine that records how it was called.
struct CreationLog {
    int calls = 0;
    IUnknown* outer = nullptr;
    IID iid = GUID_NULL;
};
CreationLog g_log;

HRESULT RecordingCreate(IUnknown* outer, REFIID iid, void** out) noexcept {
    ++g_log.calls;
    g_log.outer = outer;
    g_log.iid = iid;
    *out = nullptr;
    return E_UNEXPECTED;  // a status only this routine gives
}

class ClassFactoryTest : public testing::Test {
protected:
    void SetUp() override {
        g_log = CreationLog{};
        locksBefore_ = server::TheModule().LockCount();
        ASSERT_EQ(server::ClassFactory::Create(RecordingCreate, IID_IUnknown,
                                               reinterpret_cast<void**>(&unknown_)),
                  S_OK);
        ASSERT_NE(unknown_, nullptr);
    }
    void TearDown() override {
        if (unknown_) {
            EXPECT_EQ(unknown_->Release(), 0u);
        }
        EXPECT_EQ(server::TheModule().LockCount(), locksBefore_);
    }
    LONG Locks() const { return server::TheModule().LockCount() - locksBefore_; }
    IClassFactory* Factory() const { return static_cast<IClassFactory*>(unknown_); }

    LONG locksBefore_ = 0;
    IUnknown* unknown_ = nullptr;
};

TEST_F(ClassFactoryTest, CreatedWithCountOneAndNoModuleLock) {
    EXPECT_EQ(Locks(), 0);
    EXPECT_EQ(unknown_->AddRef(), 2u);
    EXPECT_EQ(unknown_->Release(), 1u);
}

TEST_F(ClassFactoryTest, ClientReferencesShareOneModuleLock) {
    struct Step {
        bool addRef;
        ULONG count;
        LONG locks;
    };
    const Step steps[] = {
        {true, 2, 1},   // the first client reference takes the lock
        {true, 3, 1},   // further references share it
        {true, 4, 1},
        {false, 3, 1},
        {false, 2, 1},
        {false, 1, 0},  // back to the table's own reference: the lock is given back
        {true, 2, 1},   // and taken again by the next client
        {false, 1, 0},
    };
    int index = 0;
    for (const Step& step : steps) {
        const ULONG count = step.addRef ? unknown_->AddRef() : unknown_->Release();
        EXPECT_EQ(count, step.count) << "step " << index;
        EXPECT_EQ(Locks(), step.locks) << "step " << index;
        ++index;
    }
}

TEST_F(ClassFactoryTest, QueryInterfaceAnswersUnknownAndClassFactoryWithOnePointer) {
    void* asFactory = nullptr;
    void* asUnknown = nullptr;
    ASSERT_EQ(unknown_->QueryInterface(IID_IClassFactory, &asFactory), S_OK);
    ASSERT_EQ(unknown_->QueryInterface(IID_IUnknown, &asUnknown), S_OK);
    EXPECT_EQ(asFactory, static_cast<void*>(unknown_));
    EXPECT_EQ(asUnknown, static_cast<void*>(unknown_));
    EXPECT_EQ(Locks(), 1);
    static_cast<IUnknown*>(asFactory)->Release();
    static_cast<IUnknown*>(asUnknown)->Release();
}

TEST_F(ClassFactoryTest, QueryInterfaceRefusesOtherInterfaces) {
    const IID* refused[] = {&IID_IDispatch, &IID_IDeZiVero, &IID_IClassFactory2, &IID_IPersist};
    for (const IID* iid : refused) {
        void* out = kSentinelPointer;
        EXPECT_EQ(unknown_->QueryInterface(*iid, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(unknown_->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(Locks(), 0);
}

struct CreateRow {
    const char* name;
    bool withOuter;
    const IID* iid;
    HRESULT status;
    bool routineCalled;
};

const CreateRow kCreateRows[] = {
    {"PlainCreationReachesTheRoutine", false, &IID_IDispatch, E_UNEXPECTED, true},
    {"AggregationWithUnknownReachesTheRoutine", true, &IID_IUnknown, E_UNEXPECTED, true},
    {"AggregationWithDispatchIsRefused", true, &IID_IDispatch, CLASS_E_NOAGGREGATION, false},
    {"AggregationWithPrimaryIsRefused", true, &IID_IDeZiVero, CLASS_E_NOAGGREGATION, false},
};

class CreateInstanceTest : public ClassFactoryTest, public testing::WithParamInterface<CreateRow> {};

TEST_P(CreateInstanceTest, ChecksBeforeTheRoutine) {
    const CreateRow& row = GetParam();
    IUnknown* outer = row.withOuter ? unknown_ : nullptr;  // any unknown stands in for an outer object
    void* out = kSentinelPointer;
    EXPECT_EQ(Factory()->CreateInstance(outer, *row.iid, &out), row.status);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(g_log.calls, row.routineCalled ? 1 : 0);
    if (row.routineCalled) {
        EXPECT_EQ(g_log.outer, outer);
        EXPECT_TRUE(IsEqualIID(g_log.iid, *row.iid));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, CreateInstanceTest, testing::ValuesIn(kCreateRows),
                         test_support::RowName());

TEST_F(ClassFactoryTest, CreateInstanceWithNullOutCallsNothing) {
    EXPECT_EQ(Factory()->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(g_log.calls, 0);
}

TEST_F(ClassFactoryTest, LockServerCountsWithoutLowerBound) {
    EXPECT_EQ(Factory()->LockServer(TRUE), S_OK);
    EXPECT_EQ(Locks(), 1);
    EXPECT_EQ(Factory()->LockServer(FALSE), S_OK);
    EXPECT_EQ(Locks(), 0);
    EXPECT_EQ(Factory()->LockServer(FALSE), S_OK);
    EXPECT_EQ(Locks(), -1);
    EXPECT_EQ(Factory()->LockServer(7), S_OK);  // any non-zero flag locks
    EXPECT_EQ(Locks(), 0);
}

TEST_F(ClassFactoryTest, CreationForAnInterfaceItLacksLeavesNothing) {
    void* out = kSentinelPointer;
    EXPECT_EQ(server::ClassFactory::Create(RecordingCreate, IID_IDispatch, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(Locks(), 0);
}

// The exports' class-object lookup on a described machine (objects take
// their records through the seam).
class GetClassObjectTest : public testing::Test {
protected:
    void SetUp() override {
        machine_ = Machine::Nt();
        scope_ = std::make_unique<Scope>(*machine_);
        locksBefore_ = server::TheModule().LockCount();
    }
    void TearDown() override { EXPECT_EQ(server::TheModule().LockCount(), locksBefore_); }

    std::unique_ptr<Machine> machine_;
    std::unique_ptr<Scope> scope_;
    LONG locksBefore_ = 0;
};

TEST_F(GetClassObjectTest, SameCachedObjectEveryTime) {
    IClassFactory* first = nullptr;
    IClassFactory* second = nullptr;
    ASSERT_EQ(server::GetClassObject(CLSID_CoDeZiVero, IID_IClassFactory, reinterpret_cast<void**>(&first)), S_OK);
    ASSERT_EQ(server::GetClassObject(CLSID_CoDeZiVero, IID_IClassFactory, reinterpret_cast<void**>(&second)), S_OK);
    EXPECT_EQ(first, second);
    EXPECT_EQ(server::CanUnloadNow(), S_FALSE);
    first->Release();
    EXPECT_EQ(server::CanUnloadNow(), S_FALSE);
    second->Release();
    EXPECT_EQ(server::TheModule().LockCount(), locksBefore_);
}

TEST_F(GetClassObjectTest, OtherClassIsNotAvailable) {
    void* out = kSentinelPointer;
    EXPECT_EQ(server::GetClassObject(IID_IDeZiVero, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    out = kSentinelPointer;
    EXPECT_EQ(server::GetClassObject(GUID_NULL, IID_IUnknown, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
}

TEST_F(GetClassObjectTest, RefusedInterfaceKeepsTheCachedObject) {
    void* out = kSentinelPointer;
    EXPECT_EQ(server::GetClassObject(CLSID_CoDeZiVero, IID_IDispatch, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    IUnknown* cached = server::TheModule().ClassObject(0);
    ASSERT_NE(cached, nullptr);
    IUnknown* again = nullptr;
    ASSERT_EQ(server::GetClassObject(CLSID_CoDeZiVero, IID_IUnknown, reinterpret_cast<void**>(&again)), S_OK);
    EXPECT_EQ(again, cached);
    again->Release();
}

TEST_F(GetClassObjectTest, NullOutPointer) {
    EXPECT_EQ(server::GetClassObject(CLSID_CoDeZiVero, IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(GetClassObjectTest, ObjectsHoldTheModuleUntilTheirLastRelease) {
    IClassFactory* factory = nullptr;
    ASSERT_EQ(server::GetClassObject(CLSID_CoDeZiVero, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    IUnknown* first = nullptr;
    IUnknown* second = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&first)), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&second)), S_OK);
    factory->Release();
    EXPECT_EQ(server::TheModule().LockCount() - locksBefore_, 2);
    EXPECT_EQ(first->Release(), 0u);
    EXPECT_EQ(server::TheModule().LockCount() - locksBefore_, 1);
    EXPECT_EQ(second->Release(), 0u);
    EXPECT_EQ(server::TheModule().LockCount(), locksBefore_);
}

}  // namespace
