// Dispatch by name: the name cache built from IDeZiVero's type information
// (the library's own type library, read from the build folder) and from a
// described type information with unreadable entries; and the holder that
// loads the registered library once, before and after registration.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "DeZIVero_h.h"
#include "server/name_cache.h"
#include "server/server_module.h"
#include "server/type_info_holder.h"
#include "test_support.h"

namespace {

constexpr DISPID kSentinelId = static_cast<DISPID>(0xDEADBEEF);

// The type library widl wrote into the build folder, beside the tests folder.
std::wstring BuiltTypeLibPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path);
    text.resize(text.find_last_of(L"\\/"));  // the tests folder
    text.resize(text.find_last_of(L"\\/"));  // the build folder
    return text + L"\\generated\\DeZIVero.tlb";
}

class BuiltTypeLib : public testing::Test {
protected:
    void SetUp() override {
        path_ = BuiltTypeLibPath();
        ASSERT_EQ(LoadTypeLibEx(path_.c_str(), REGKIND_NONE, &library_), S_OK) << "no type library at the build folder";
        ASSERT_EQ(library_->GetTypeInfoOfGuid(IID_IDeZiVero, &info_), S_OK);
    }
    void TearDown() override {
        if (info_) info_->Release();
        if (library_) library_->Release();
    }

    std::wstring path_;
    ITypeLib* library_ = nullptr;
    ITypeInfo* info_ = nullptr;
};

struct LookupRow {
    const char* name;
    const wchar_t* text;
    size_t length;
    bool hit;
    DISPID dispid;
};

const LookupRow kLookupRows[] = {
    {"OSNameIsOne", L"OSName", 6, true, 1},
    {"CSDIsThree", L"CSD", 3, true, 3},
    {"ProcessorSpeedIsThirtyThree", L"ProcessorSpeed", 14, true, 33},
    {"DockedInfoIsTwenty", L"DockedInfo", 10, true, 20},
    {"FindDeviceIsThirtyTwo", L"FindDevice", 10, true, 32},
    {"FixedDiskSizeInMBIsThirtyFour", L"FixedDiskSizeInMB", 17, true, 34},
    {"HasAGPBusIsThirtyEight", L"HasAGPBus", 9, true, 38},
    {"LengthBoundsTheCompare", L"OSNameAndMore", 6, true, 1},
    {"LowerCaseMisses", L"osname", 6, false, 0},
    {"UpperCaseMisses", L"OSNAME", 6, false, 0},
    {"PrefixMisses", L"OSNam", 5, false, 0},
    {"LongerNameMisses", L"OSNameX", 7, false, 0},
    {"EmptyNameMisses", L"", 0, false, 0},
    {"UnknownNameMisses", L"NoSuchMember", 12, false, 0},
};

class NameCacheLookupTest : public BuiltTypeLib, public testing::WithParamInterface<LookupRow> {};

TEST_P(NameCacheLookupTest, ExactCaseAndLength) {
    const LookupRow& row = GetParam();
    server::NameCache cache;
    ASSERT_EQ(cache.Build(info_), S_OK);
    DISPID dispid = kSentinelId;
    EXPECT_EQ(cache.Find(row.text, row.length, &dispid), row.hit);
    EXPECT_EQ(dispid, row.hit ? row.dispid : kSentinelId);
    cache.Clear();
}

INSTANTIATE_TEST_SUITE_P(Rows, NameCacheLookupTest, testing::ValuesIn(kLookupRows),
                         test_support::RowName());

TEST_F(BuiltTypeLib, CacheHoldsEveryFunctionOfTheInterface) {
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info_->GetTypeAttr(&attributes), S_OK);
    const UINT functions = attributes->cFuncs;
    info_->ReleaseTypeAttr(attributes);
    server::NameCache cache;
    ASSERT_EQ(cache.Build(info_), S_OK);
    EXPECT_EQ(cache.Count(), functions);
    EXPECT_GE(cache.Count(), 38u);
    cache.Clear();
    EXPECT_EQ(cache.Count(), 0u);
    DISPID dispid = kSentinelId;
    EXPECT_FALSE(cache.Find(L"OSName", 6, &dispid));
    EXPECT_EQ(dispid, kSentinelId);
    cache.Clear();  // harmless twice
}

TEST_F(BuiltTypeLib, OnlyTheInheritedFunctionsAreRestricted) {
    server::NameCache cache;
    ASSERT_EQ(cache.Build(info_), S_OK);
    struct Row {
        const wchar_t* name;
        bool restricted;
    };
    constexpr Row kRows[] = {{L"QueryInterface", true}, {L"AddRef", true}, {L"Release", true},
                             {L"Invoke", true},         {L"OSName", false}, {L"ProcessorSpeed", false},
                             {L"HasAGPBus", false}};
    for (const Row& row : kRows) {
        DISPID dispid = kSentinelId;
        ASSERT_TRUE(cache.Find(row.name, wcslen(row.name), &dispid)) << static_cast<const void*>(row.name);
        EXPECT_EQ(cache.IsRestricted(dispid), row.restricted) << dispid;
    }
    EXPECT_FALSE(cache.IsRestricted(DISPID_UNKNOWN));
    cache.Clear();
}

TEST_F(BuiltTypeLib, RebuildingReplacesTheEntries) {
    server::NameCache cache;
    ASSERT_EQ(cache.Build(info_), S_OK);
    const UINT count = cache.Count();
    ASSERT_EQ(cache.Build(info_), S_OK);
    EXPECT_EQ(cache.Count(), count);
    cache.Clear();
}

// A described type information: functions with names and member ids, some
// of whose names cannot be read, or whose attributes cannot be read at all.
class DescribedTypeInfo final : public ITypeInfo {
public:
    struct Function {
        const wchar_t* name;  // null: the documentation cannot be read
        MEMBERID memid;
    };

    explicit DescribedTypeInfo(std::vector<Function> functions) : functions_(std::move(functions)) {
        attributes_.cFuncs = static_cast<WORD>(functions_.size());
    }
    bool attributesFail = false;
    int outstandingDescriptions = 0;
    int outstandingAttributes = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** out) override {
        if (attributesFail) return E_OUTOFMEMORY;
        ++outstandingAttributes;
        *out = &attributes_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT index, FUNCDESC** out) override {
        if (index >= functions_.size()) return TYPE_E_ELEMENTNOTFOUND;
        auto* description = new FUNCDESC{};
        description->memid = functions_[index].memid;
        ++outstandingDescriptions;
        *out = description;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetVarDesc(UINT, VARDESC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNames(MEMBERID, BSTR*, UINT, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT, HREFTYPE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR*, UINT, MEMBERID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(PVOID, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID memid, BSTR* name, BSTR*, DWORD*, BSTR*) override {
        for (const Function& function : functions_) {
            if (function.memid != memid) continue;
            if (!function.name) return TYPE_E_ELEMENTNOTFOUND;
            *name = SysAllocString(function.name);
            return S_OK;
        }
        return TYPE_E_ELEMENTNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, PVOID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMops(MEMBERID, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib**, UINT*) override { return E_NOTIMPL; }
    void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR*) override { --outstandingAttributes; }
    void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* description) override {
        --outstandingDescriptions;
        delete description;
    }
    void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC*) override {}

private:
    std::vector<Function> functions_;
    TYPEATTR attributes_{};
};

TEST(NameCacheDescribed, UnreadableNameStaysEmptyAndMatchesNothing) {
    DescribedTypeInfo info({{L"First", 1}, {nullptr, 2}, {L"Third", 3}});
    server::NameCache cache;
    ASSERT_EQ(cache.Build(&info), S_OK);
    EXPECT_EQ(cache.Count(), 3u);
    DISPID dispid = kSentinelId;
    EXPECT_FALSE(cache.Find(L"", 0, &dispid));
    EXPECT_EQ(dispid, kSentinelId);
    EXPECT_TRUE(cache.Find(L"Third", 5, &dispid));
    EXPECT_EQ(dispid, 3);
    EXPECT_EQ(info.outstandingDescriptions, 0);
    EXPECT_EQ(info.outstandingAttributes, 0);
    cache.Clear();
}

TEST(NameCacheDescribed, LastEntryOfADuplicateNameWins) {
    DescribedTypeInfo info({{L"Same", 7}, {L"Other", 8}, {L"Same", 9}});
    server::NameCache cache;
    ASSERT_EQ(cache.Build(&info), S_OK);
    DISPID dispid = kSentinelId;
    EXPECT_TRUE(cache.Find(L"Same", 4, &dispid));
    EXPECT_EQ(dispid, 9);
    cache.Clear();
}

TEST(NameCacheDescribed, NoFunctionsGiveAnEmptyCache) {
    DescribedTypeInfo info({});
    server::NameCache cache;
    EXPECT_EQ(cache.Build(&info), S_OK);
    EXPECT_EQ(cache.Count(), 0u);
    EXPECT_EQ(info.outstandingAttributes, 0);
}

TEST(NameCacheDescribed, UnreadableAttributesLeaveTheCacheEmpty) {
    DescribedTypeInfo good({{L"Name", 1}});
    server::NameCache cache;
    ASSERT_EQ(cache.Build(&good), S_OK);
    DescribedTypeInfo info({{L"Name", 1}});
    info.attributesFail = true;
    EXPECT_EQ(cache.Build(&info), E_OUTOFMEMORY);
    EXPECT_EQ(cache.Count(), 0u);
    DISPID dispid = kSentinelId;
    EXPECT_FALSE(cache.Find(L"Name", 4, &dispid));
}

// ---- The holder ----

// A LIBID that no machine registers.
const GUID kUnregisteredLibId = {0x7a31c4ff, 0x52e6, 0x4b1f, {0xa0, 0xd7, 0x3c, 0x94, 0xe1, 0x8b, 0x6f, 0x25}};

server::TypeInfoHolder& UnregisteredHolder() {
    static server::TypeInfoHolder holder(&IID_IDeZiVero, &kUnregisteredLibId, 1, 0);
    return holder;
}

TEST(TypeInfoHolderUnregistered, EveryCallReturnsTheLoadFailure) {
    server::TypeInfoHolder& holder = UnregisteredHolder();
    EXPECT_EQ(holder.EnsureLoaded(LOCALE_NEUTRAL), TYPE_E_LIBNOTREGISTERED);
    EXPECT_FALSE(holder.IsLoaded());

    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(static_cast<UINT_PTR>(0xDEADBEEF));
    EXPECT_EQ(holder.GetTypeInfo(LOCALE_NEUTRAL, &info), TYPE_E_LIBNOTREGISTERED);
    EXPECT_EQ(info, nullptr);
    EXPECT_EQ(holder.GetTypeInfo(LOCALE_NEUTRAL, nullptr), E_POINTER);

    LPOLESTR names[] = {const_cast<LPOLESTR>(L"OSName")};
    DISPID dispid = kSentinelId;
    EXPECT_EQ(holder.GetIDsOfNames(names, 1, LOCALE_NEUTRAL, &dispid), TYPE_E_LIBNOTREGISTERED);
    EXPECT_EQ(dispid, kSentinelId);
    EXPECT_EQ(holder.Invoke(nullptr, 1, LOCALE_NEUTRAL, DISPATCH_PROPERTYGET, nullptr, nullptr, nullptr, nullptr),
              TYPE_E_LIBNOTREGISTERED);
}

TEST(TypeInfoHolderUnregistered, RepeatedFailuresAddOneCleanUp) {
    server::TypeInfoHolder& holder = UnregisteredHolder();
    holder.Cleanup();
    const size_t before = server::TheModule().TerminationCount();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(holder.EnsureLoaded(LOCALE_NEUTRAL), TYPE_E_LIBNOTREGISTERED);
    EXPECT_EQ(server::TheModule().TerminationCount(), before + 1);
}

// Registers the built type library in the test prefix for one test and
// removes it again.
class RegisteredTypeLib : public BuiltTypeLib {
protected:
    void SetUp() override {
        BuiltTypeLib::SetUp();
        if (HasFatalFailure()) return;
        std::wstring directory = path_.substr(0, path_.find_last_of(L"\\/") + 1);
        ASSERT_EQ(RegisterTypeLib(library_, &path_[0], &directory[0]), S_OK);
        registered_ = true;
    }
    void TearDown() override {
        if (registered_) Unregister();
        BuiltTypeLib::TearDown();
    }
    void Unregister() {
        registered_ = false;
        const SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;  // the built library's
        EXPECT_EQ(UnRegisterTypeLib(LIBID_DEZIVEROLib, 1, 0, LOCALE_NEUTRAL, kind), S_OK);
    }

    bool registered_ = false;
};

server::TypeInfoHolder& RegisteredHolder() {
    static server::TypeInfoHolder holder(&IID_IDeZiVero, &LIBID_DEZIVEROLib, 1, 0);
    return holder;
}

struct HolderNameRow {
    const char* name;
    const wchar_t* text;
    HRESULT status;
    DISPID dispid;
};

const HolderNameRow kHolderNameRows[] = {
    {"ExactCaseFromTheCache", L"OSName", S_OK, 1},
    {"LowerCaseFromTheTypeInformation", L"osname", S_OK, 1},
    {"MixedCaseFromTheTypeInformation", L"processorSPEED", S_OK, 33},
    {"UnknownNameIsTheTypeInformationsFailure", L"NoSuchMember", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
};

class HolderNamesTest : public RegisteredTypeLib, public testing::WithParamInterface<HolderNameRow> {};

TEST_P(HolderNamesTest, ResolvesThroughCacheOrTypeInformation) {
    const HolderNameRow& row = GetParam();
    server::TypeInfoHolder& holder = RegisteredHolder();
    holder.Cleanup();
    LPOLESTR names[] = {const_cast<LPOLESTR>(row.text)};
    DISPID dispid = kSentinelId;
    EXPECT_EQ(holder.GetIDsOfNames(names, 1, LOCALE_NEUTRAL, &dispid), row.status);
    EXPECT_EQ(dispid, row.dispid);
    EXPECT_TRUE(holder.IsLoaded());
    holder.Cleanup();
}

INSTANTIATE_TEST_SUITE_P(Rows, HolderNamesTest, testing::ValuesIn(kHolderNameRows),
                         test_support::RowName());

TEST_F(RegisteredTypeLib, LoadedOnceAndKeptAfterUnregistration) {
    server::TypeInfoHolder& holder = RegisteredHolder();
    holder.Cleanup();
    ASSERT_EQ(holder.EnsureLoaded(LOCALE_NEUTRAL), S_OK);
    EXPECT_GE(holder.Names().Count(), 38u);
    ITypeInfo* first = nullptr;
    ASSERT_EQ(holder.GetTypeInfo(LOCALE_NEUTRAL, &first), S_OK);
    Unregister();

    server::TypeInfoHolder fresh(&IID_IDeZiVero, &LIBID_DEZIVEROLib, 1, 0);
    EXPECT_EQ(fresh.EnsureLoaded(LOCALE_NEUTRAL), TYPE_E_LIBNOTREGISTERED);  // the library is really gone
    fresh.Cleanup();

    ITypeInfo* second = nullptr;
    EXPECT_EQ(holder.GetTypeInfo(LOCALE_NEUTRAL, &second), S_OK);
    EXPECT_EQ(first, second);
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"osname")};
    DISPID dispid = kSentinelId;
    EXPECT_EQ(holder.GetIDsOfNames(names, 1, LOCALE_NEUTRAL, &dispid), S_OK);
    EXPECT_EQ(dispid, 1);
    if (first) first->Release();
    if (second) second->Release();
    holder.Cleanup();
    EXPECT_FALSE(holder.IsLoaded());
    holder.Cleanup();  // harmless twice
}

TEST_F(RegisteredTypeLib, NamedParameterRequestGoesToTheTypeInformation) {
    server::TypeInfoHolder& holder = RegisteredHolder();
    holder.Cleanup();
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"ProcessorSpeed"), const_cast<LPOLESTR>(L"lProcessor")};
    DISPID dispids[2] = {kSentinelId, kSentinelId};
    EXPECT_EQ(holder.GetIDsOfNames(names, 2, LOCALE_NEUTRAL, dispids), S_OK);
    EXPECT_EQ(dispids[0], 33);
    EXPECT_EQ(dispids[1], 0);
    holder.Cleanup();
}

TEST_F(RegisteredTypeLib, BadNameArraysAreRefused) {
    server::TypeInfoHolder& holder = RegisteredHolder();
    holder.Cleanup();
    DISPID dispid = kSentinelId;
    LPOLESTR nullName[] = {nullptr};
    EXPECT_EQ(holder.GetIDsOfNames(nullptr, 1, LOCALE_NEUTRAL, &dispid), E_POINTER);
    EXPECT_EQ(holder.GetIDsOfNames(nullName, 1, LOCALE_NEUTRAL, &dispid), E_POINTER);
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"OSName")};
    EXPECT_EQ(holder.GetIDsOfNames(names, 1, LOCALE_NEUTRAL, nullptr), E_POINTER);
    EXPECT_EQ(dispid, kSentinelId);
    EXPECT_EQ(holder.GetIDsOfNames(names, 0, LOCALE_NEUTRAL, &dispid), S_OK);
    EXPECT_EQ(dispid, kSentinelId);
    holder.Cleanup();
}

// An object whose members the holder invokes; answers nothing itself.
class CountingDispatch final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++count; }
    ULONG STDMETHODCALLTYPE Release() override { return --count; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    ULONG count = 1;
};

struct RefusedInvokeRow {
    const char* name;
    const wchar_t* member;  // resolved through the holder, or null for DISPID 1
    UINT args;
    bool nullArgs;
    UINT namedArgs;
    bool nullNamed;
    bool nullParams;
    HRESULT status;
};

const RefusedInvokeRow kRefusedInvokeRows[] = {
    {"ReleaseByDispidIsNoMember", L"Release", 0, false, 0, false, false, DISP_E_MEMBERNOTFOUND},
    {"AddRefByDispidIsNoMember", L"AddRef", 0, false, 0, false, false, DISP_E_MEMBERNOTFOUND},
    {"QueryInterfaceByDispidIsNoMember", L"QueryInterface", 0, false, 0, false, false,
     DISP_E_MEMBERNOTFOUND},
    {"NullParametersAreRefused", nullptr, 0, false, 0, false, true, E_INVALIDARG},
    {"ArgumentsWithoutArrayAreRefused", nullptr, 2, true, 0, false, false, E_INVALIDARG},
    {"NamedArgumentsWithoutArrayAreRefused", nullptr, 1, false, 1, true, false, E_INVALIDARG},
};

class RefusedInvokeTest : public RegisteredTypeLib,
                          public testing::WithParamInterface<RefusedInvokeRow> {};

TEST_P(RefusedInvokeTest, NeverReachesTheObject) {
    const RefusedInvokeRow& row = GetParam();
    server::TypeInfoHolder& holder = RegisteredHolder();
    holder.Cleanup();
    DISPID dispid = 1;
    if (row.member) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(row.member)};
        ASSERT_EQ(holder.GetIDsOfNames(names, 1, LOCALE_NEUTRAL, &dispid), S_OK);
    }
    VARIANT args[2];
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{row.nullArgs ? nullptr : args, row.nullNamed ? nullptr : &named, row.args,
                      row.namedArgs};
    CountingDispatch target;
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(holder.Invoke(&target, dispid, LOCALE_NEUTRAL, DISPATCH_METHOD,
                            row.nullParams ? nullptr : &params, &result, nullptr, nullptr),
              row.status);
    EXPECT_EQ(target.count, 1u);
    EXPECT_EQ(result.vt, VT_EMPTY);
    holder.Cleanup();
}

INSTANTIATE_TEST_SUITE_P(Rows, RefusedInvokeTest, testing::ValuesIn(kRefusedInvokeRows),
                         test_support::RowName());

}  // namespace
