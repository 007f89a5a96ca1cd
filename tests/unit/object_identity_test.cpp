// The object's identity, counting and safety options, in-process: the
// interface table, one IUnknown for both interfaces, the module lock of each
// living object, aggregation, and the safety-option mask rules.
#include <gtest/gtest.h>

#include <memory>

#include <ocidl.h>

#include "DeZIVero_h.h"
#include "object/co_dezivero.h"
#include "object_state_access.h"
#include "server/server_module.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;
using test_support::kSentinel;
using test_support::kSentinelPointer;

class ObjectTest : public testing::Test {
protected:
    void SetUp() override {
        machine_ = Machine::Nt();
        scope_ = std::make_unique<Scope>(*machine_);
        locksBefore_ = server::TheModule().LockCount();
    }
    void TearDown() override { EXPECT_EQ(server::TheModule().LockCount(), locksBefore_); }

    IDeZiVero* NewObject() {
        IDeZiVero* object = nullptr;
        EXPECT_EQ(object::CoDeZiVero::Create(nullptr, IID_IDeZiVero, reinterpret_cast<void**>(&object)),
                  S_OK);
        return object;
    }
    LONG Locks() const { return server::TheModule().LockCount() - locksBefore_; }

    std::unique_ptr<Machine> machine_;
    std::unique_ptr<Scope> scope_;
    LONG locksBefore_ = 0;
};

enum class Answer { Primary, Safety, None };

struct InterfaceRow {
    const char* name;
    const IID* iid;
    Answer answer;
};

const InterfaceRow kInterfaceRows[] = {
    {"UnknownIsThePrimaryInterface", &IID_IUnknown, Answer::Primary},
    {"DeZiVeroIsThePrimaryInterface", &IID_IDeZiVero, Answer::Primary},
    {"DeZiVero2IsThePrimaryInterface", &IID_IDeZiVero2, Answer::Primary},
    {"DispatchIsThePrimaryInterface", &IID_IDispatch, Answer::Primary},
    {"ObjectSafetyIsTheSecondInterface", &IID_IObjectSafety, Answer::Safety},
    {"ClassFactoryIsNotAnswered", &IID_IClassFactory, Answer::None},
    {"PersistIsNotAnswered", &IID_IPersist, Answer::None},
    {"ProvideClassInfoIsNotAnswered", &IID_IProvideClassInfo, Answer::None},
};

class InterfaceTableTest : public ObjectTest, public testing::WithParamInterface<InterfaceRow> {};

TEST_P(InterfaceTableTest, EveryInterfaceAnswersAlike) {
    const InterfaceRow& row = GetParam();
    IDeZiVero* object = NewObject();
    ASSERT_NE(object, nullptr);
    IObjectSafety* safety = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety)), S_OK);

    IUnknown* const asked[] = {object, safety};
    for (IUnknown* through : asked) {
        void* out = kSentinelPointer;
        const HRESULT hr = through->QueryInterface(*row.iid, &out);
        switch (row.answer) {
        case Answer::Primary:
            EXPECT_EQ(hr, S_OK);
            EXPECT_EQ(out, static_cast<void*>(object));
            break;
        case Answer::Safety:
            EXPECT_EQ(hr, S_OK);
            EXPECT_EQ(out, static_cast<void*>(safety));
            break;
        case Answer::None:
            EXPECT_EQ(hr, E_NOINTERFACE);
            EXPECT_EQ(out, nullptr);
            break;
        }
        if (hr == S_OK) static_cast<IUnknown*>(out)->Release();
    }
    safety->Release();
    EXPECT_EQ(object->Release(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, InterfaceTableTest, testing::ValuesIn(kInterfaceRows),
                         test_support::RowName());

TEST_F(ObjectTest, QueryInterfaceWithNullOut) {
    IDeZiVero* object = NewObject();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(object->Release(), 0u);
}

TEST_F(ObjectTest, CountsAreRealAndBothInterfacesShareThem) {
    IDeZiVero* object = NewObject();
    ASSERT_NE(object, nullptr);
    IObjectSafety* safety = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety)), S_OK);
    EXPECT_EQ(object->AddRef(), 3u);
    EXPECT_EQ(safety->AddRef(), 4u);
    EXPECT_EQ(safety->Release(), 3u);
    EXPECT_EQ(object->Release(), 2u);
    EXPECT_EQ(safety->Release(), 1u);
    EXPECT_EQ(Locks(), 1);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(Locks(), 0);
}

TEST_F(ObjectTest, EachLivingObjectHoldsOneModuleLock) {
    IDeZiVero* first = NewObject();
    IDeZiVero* second = NewObject();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(Locks(), 2);
    first->Release();
    EXPECT_EQ(Locks(), 1);
    second->Release();
}

TEST_F(ObjectTest, CreationForAnUnansweredInterfaceLeavesNoObjectAndNoLock) {
    void* out = kSentinelPointer;
    EXPECT_EQ(object::CoDeZiVero::Create(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(Locks(), 0);
}

TEST_F(ObjectTest, NewObjectStartsWithNothingFound) {
    IDeZiVero* object = NewObject();
    ASSERT_NE(object, nullptr);
    auto* implementation = static_cast<object::CoDeZiVero*>(object);
    EXPECT_EQ(object::StateAccess::SafetyOptions(*implementation), 0u);
    EXPECT_EQ(object::StateAccess::Outer(*implementation), nullptr);
    EXPECT_EQ(object::StateAccess::DeviceStatus(*implementation), -1);
    EXPECT_EQ(object::StateAccess::HWKey(*implementation)[0], '\0');
    object->Release();
}

// ---- Safety options ----

struct MaskRow {
    const char* name;
    DWORD initial;
    DWORD mask;
    DWORD enabled;
    HRESULT status;
    DWORD after;
};

const MaskRow kMaskRows[] = {
    {"SetOneBitFromNothing", 0, 1, 1, S_OK, 1},
    {"ClearOneBit", 3, 1, 0, S_OK, 2},
    {"MaskThreeTakesEnabledWhole", 1, 3, 2, S_OK, 2},
    {"BitsOutsideTheMaskKeepTheirValues", 2, 1, 1, S_OK, 3},
    {"EnabledBitsOutsideTheMaskAreIgnored", 0, 2, 0xFFFFFFFF, S_OK, 2},
    {"EmptyMaskChangesNothing", 3, 0, 0, S_OK, 3},
    {"MaskFourFailsAndChangesNothing", 1, 4, 4, E_FAIL, 1},
    {"MaskWithAnOutsideBitFailsWhole", 0, 7, 3, E_FAIL, 0},
    {"HighestBitFails", 2, 0x80000000, 0, E_FAIL, 2},
};

class SafetyMaskTest : public ObjectTest, public testing::WithParamInterface<MaskRow> {};

TEST_P(SafetyMaskTest, SetThenGet) {
    const MaskRow& row = GetParam();
    IDeZiVero* object = NewObject();
    ASSERT_NE(object, nullptr);
    IObjectSafety* safety = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety)), S_OK);
    ASSERT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, 3, row.initial), S_OK);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, row.mask, row.enabled), row.status);
    DWORD supported = kSentinel;
    DWORD enabled = kSentinel;
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDeZiVero, &supported, &enabled), S_OK);
    EXPECT_EQ(supported, 3u);
    EXPECT_EQ(enabled, row.after);
    safety->Release();
    object->Release();
}

INSTANTIATE_TEST_SUITE_P(Rows, SafetyMaskTest, testing::ValuesIn(kMaskRows),
                         test_support::RowName());

TEST_F(ObjectTest, SafetyForAnUnansweredInterface) {
    IDeZiVero* object = NewObject();
    ASSERT_NE(object, nullptr);
    IObjectSafety* safety = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety)), S_OK);
    ASSERT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, 3, 3), S_OK);
    DWORD supported = kSentinel;
    DWORD enabled = kSentinel;
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IClassFactory, &supported, &enabled), E_NOINTERFACE);
    EXPECT_EQ(supported, 0u);
    EXPECT_EQ(enabled, 0u);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IClassFactory, 3, 0), E_NOINTERFACE);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IClassFactory, 4, 0), E_NOINTERFACE);  // the IID is asked first
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
    EXPECT_EQ(enabled, 3u);
    EXPECT_EQ(safety->Release(), 1u);  // the checks gave back what they asked for
    object->Release();
}

TEST_F(ObjectTest, SafetyWithNullPointersWritesNothing) {
    IDeZiVero* object = NewObject();
    ASSERT_NE(object, nullptr);
    IObjectSafety* safety = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety)), S_OK);
    DWORD value = kSentinel;
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, &value), E_POINTER);
    EXPECT_EQ(value, kSentinel);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &value, nullptr), E_POINTER);
    EXPECT_EQ(value, kSentinel);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IClassFactory, nullptr, nullptr), E_POINTER);
    safety->Release();
    object->Release();
}

// ---- Aggregation ----

// A controlling object that forwards IDeZiVero to the inner object and
// answers nothing else but IUnknown.
class Outer final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        ++queries;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown)) {
            AddRef();
            *out = static_cast<IUnknown*>(this);
            return S_OK;
        }
        if (inner && IsEqualIID(iid, IID_IDeZiVero)) return inner->QueryInterface(iid, out);
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++count); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--count); }

    LONG count = 1;
    int queries = 0;
    IUnknown* inner = nullptr;
};

TEST_F(ObjectTest, AggregatedObjectCountsOnItsOuterObject) {
    Outer outer;
    ASSERT_EQ(object::CoDeZiVero::Create(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)),
              S_OK);
    ASSERT_NE(outer.inner, nullptr);
    EXPECT_EQ(outer.count, 1);
    EXPECT_EQ(Locks(), 1);

    IDeZiVero* primary = nullptr;
    ASSERT_EQ(outer.inner->QueryInterface(IID_IDeZiVero, reinterpret_cast<void**>(&primary)), S_OK);
    EXPECT_EQ(outer.count, 2);
    EXPECT_EQ(primary->AddRef(), 3u);
    EXPECT_EQ(primary->Release(), 2u);

    IUnknown* identity = nullptr;
    const int queriesBefore = outer.queries;
    ASSERT_EQ(primary->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
    EXPECT_EQ(outer.queries, queriesBefore + 1);
    identity->Release();

    IObjectSafety* safety = nullptr;
    ASSERT_EQ(primary->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety)), S_OK);
    EXPECT_EQ(outer.count, 3);  // the inner table's answer counts on the outer object too
    safety->Release();
    primary->Release();
    EXPECT_EQ(outer.count, 1);

    EXPECT_EQ(outer.inner->AddRef(), 2u);
    EXPECT_EQ(outer.inner->Release(), 1u);
    EXPECT_EQ(Locks(), 1);
    EXPECT_EQ(outer.inner->Release(), 0u);
    EXPECT_EQ(Locks(), 0);
    EXPECT_EQ(outer.count, 1);
}

TEST_F(ObjectTest, NonDelegatingUnknownAnswersItselfForUnknownAndTheTableOtherwise) {
    Outer outer;
    ASSERT_EQ(object::CoDeZiVero::Create(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)),
              S_OK);
    IUnknown* self = nullptr;
    ASSERT_EQ(outer.inner->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&self)), S_OK);
    EXPECT_EQ(self, outer.inner);
    EXPECT_EQ(self->Release(), 1u);
    void* out = kSentinelPointer;
    EXPECT_EQ(outer.inner->QueryInterface(IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(outer.inner->Release(), 0u);
}

TEST_F(ObjectTest, AggregationForAnInterfaceOtherThanUnknownLeavesNoLock) {
    Outer outer;
    void* out = kSentinelPointer;
    EXPECT_EQ(object::CoDeZiVero::Create(&outer, IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(Locks(), 0);
    EXPECT_EQ(outer.count, 1);
}

}  // namespace
