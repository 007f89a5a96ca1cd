// Drives the built DeZIVero.DLL the way hosts do, in a prefix where it was
// never registered: the exports through LoadLibrary and GetProcAddress (class
// object, lock counting, instance creation, identity, aggregation under a
// real outer object, safety options), then dispatch before and after the
// library registers itself, activation through the registry, and dispatch
// again after unregistration.
//
// Argument: the DLL's path (a Unix path is read through drive Z:). Prints
// every failed check and a final "server_client: N passed, N failed" line.
#include <windows.h>
#include <ole2.h>
#include <objsafe.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>

#include "DeZIVero_h.h"
#include "tests/tools/tally.h"
#include "tests/tools/unix_path.h"

namespace {

using tally::Check;
using tally::failed;
using tally::passed;

constexpr DWORD kSentinel = 0xDEADBEEF;
void* const kSentinelPointer = reinterpret_cast<void*>(static_cast<UINT_PTR>(0xDEADBEEF));

void CheckEqual(long actual, long expected, const char* what) {
    if (actual == expected) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAILED: %s: expected 0x%lX, got 0x%lX\n", what, static_cast<unsigned long>(expected),
                static_cast<unsigned long>(actual));
}

// A CLSID that no class of the library has.
const CLSID kOtherClsid = {0x7a31c48e, 0x52e6, 0x4b1f, {0xa0, 0xd7, 0x3c, 0x94, 0xe1, 0x8b, 0x6f, 0x25}};
const GUID kLibId = {0x7a31c480, 0x52e6, 0x4b1f, {0xa0, 0xd7, 0x3c, 0x94, 0xe1, 0x8b, 0x6f, 0x25}};

using GetClassObjectRoutine = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using PlainRoutine = HRESULT(STDAPICALLTYPE*)();

struct Library {
    HMODULE module = nullptr;
    GetClassObjectRoutine getClassObject = nullptr;
    PlainRoutine canUnloadNow = nullptr;
    PlainRoutine registerServer = nullptr;
    PlainRoutine unregisterServer = nullptr;
};

template <typename Routine>
Routine Export(HMODULE module, const char* name) {
    return reinterpret_cast<Routine>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

IClassFactory* GetFactory(const Library& library) {
    IClassFactory* factory = nullptr;
    const HRESULT hr = library.getClassObject(CLSID_CoDeZiVero, IID_IClassFactory,
                                              reinterpret_cast<void**>(&factory));
    CheckEqual(hr, S_OK, "DllGetClassObject for the class");
    return SUCCEEDED(hr) ? factory : nullptr;
}

IDeZiVero* NewObject(const Library& library) {
    IClassFactory* factory = GetFactory(library);
    if (!factory) return nullptr;
    IDeZiVero* object = nullptr;
    const HRESULT hr = factory->CreateInstance(nullptr, IID_IDeZiVero, reinterpret_cast<void**>(&object));
    factory->Release();
    CheckEqual(hr, S_OK, "CreateInstance for IDeZiVero");
    return SUCCEEDED(hr) ? object : nullptr;
}

// ---- Class object and lock counting ----------------------------------------------------

void ClassObjectChecks(const Library& library) {
    CheckEqual(library.canUnloadNow(), S_OK, "right after loading the library can unload");

    CheckEqual(library.getClassObject(CLSID_CoDeZiVero, IID_IClassFactory, nullptr), E_POINTER,
               "DllGetClassObject with a null out pointer");

    void* other = kSentinelPointer;
    CheckEqual(library.getClassObject(kOtherClsid, IID_IClassFactory, &other), CLASS_E_CLASSNOTAVAILABLE,
               "another CLSID is not available");
    Check(other == nullptr, "another CLSID sets the out pointer to none");

    void* dispatch = kSentinelPointer;
    CheckEqual(library.getClassObject(CLSID_CoDeZiVero, IID_IDispatch, &dispatch), E_NOINTERFACE,
               "the class object answers no IDispatch");
    Check(dispatch == nullptr, "a refused IID sets the out pointer to none");
    CheckEqual(library.canUnloadNow(), S_OK, "a refused IID leaves no module lock");

    IClassFactory* first = GetFactory(library);
    IClassFactory* second = GetFactory(library);
    IUnknown* unknown = nullptr;
    CheckEqual(library.getClassObject(CLSID_CoDeZiVero, IID_IUnknown, reinterpret_cast<void**>(&unknown)),
               S_OK, "DllGetClassObject for IUnknown");
    if (!first || !second || !unknown) return;
    Check(first == second, "the class object is cached: two calls give the same pointer");
    Check(unknown == static_cast<IUnknown*>(first), "IUnknown and IClassFactory are one pointer");
    CheckEqual(library.canUnloadNow(), S_FALSE, "a held class object keeps the library");
    unknown->Release();
    second->Release();
    CheckEqual(library.canUnloadNow(), S_FALSE, "one client reference still keeps the library");
    first->Release();
    CheckEqual(library.canUnloadNow(), S_OK, "the cached reference alone does not keep the library");

    IClassFactory* factory = GetFactory(library);
    if (!factory) return;
    CheckEqual(factory->LockServer(TRUE), S_OK, "LockServer(TRUE)");
    factory->Release();
    CheckEqual(library.canUnloadNow(), S_FALSE, "LockServer(TRUE) keeps the library");
    factory = GetFactory(library);
    if (!factory) return;
    CheckEqual(factory->LockServer(FALSE), S_OK, "LockServer(FALSE)");
    factory->Release();
    CheckEqual(library.canUnloadNow(), S_OK, "LockServer(FALSE) lets the library go");
}

// ---- Instance creation and identity ------------------------------------------------------

void CreationChecks(const Library& library) {
    IClassFactory* factory = GetFactory(library);
    if (!factory) return;
    CheckEqual(factory->CreateInstance(nullptr, IID_IDeZiVero, nullptr), E_POINTER,
               "CreateInstance with a null out pointer");

    void* refused = kSentinelPointer;
    CheckEqual(factory->CreateInstance(nullptr, IID_IClassFactory, &refused), E_NOINTERFACE,
               "CreateInstance for IClassFactory");
    Check(refused == nullptr, "a refused CreateInstance sets the out pointer to none");

    // The class object stands in for an outer unknown: aggregation is refused before it is used.
    void* aggregated = kSentinelPointer;
    CheckEqual(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), IID_IDispatch, &aggregated),
               CLASS_E_NOAGGREGATION, "an outer unknown with IID_IDispatch");
    Check(aggregated == nullptr, "refused aggregation sets the out pointer to none");
    factory->Release();
    CheckEqual(library.canUnloadNow(), S_OK, "refused creations leave the lock count where it was");

    IDeZiVero* object = NewObject(library);
    if (!object) return;
    CheckEqual(library.canUnloadNow(), S_FALSE, "a living object keeps the library");

    IUnknown* unknownFromPrimary = nullptr;
    IDispatch* dispatch = nullptr;
    IObjectSafety* safety = nullptr;
    IUnknown* unknownFromSafety = nullptr;
    CheckEqual(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknownFromPrimary)), S_OK,
               "QueryInterface IUnknown");
    CheckEqual(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK,
               "QueryInterface IDispatch");
    CheckEqual(object->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety)), S_OK,
               "QueryInterface IObjectSafety");
    if (safety) {
        CheckEqual(safety->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknownFromSafety)), S_OK,
                   "QueryInterface IUnknown through IObjectSafety");
    }
    Check(dispatch == static_cast<IDispatch*>(object), "IDispatch is the IDeZiVero pointer");
    Check(unknownFromPrimary == static_cast<IUnknown*>(object), "IUnknown is the IDeZiVero pointer");
    Check(unknownFromSafety == unknownFromPrimary, "IUnknown through IObjectSafety is the same identity");
    Check(static_cast<void*>(safety) != static_cast<void*>(object), "IObjectSafety is a second pointer");

    void* none = kSentinelPointer;
    CheckEqual(object->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE,
               "QueryInterface for an interface not answered");
    Check(none == nullptr, "an unanswered QueryInterface sets the out pointer to none");
    CheckEqual(object->QueryInterface(IID_IUnknown, nullptr), E_POINTER, "QueryInterface with null out");

    CheckEqual(static_cast<long>(object->AddRef()), 6, "AddRef returns the real count");
    CheckEqual(static_cast<long>(object->Release()), 5, "Release returns the real count");
    if (unknownFromSafety) unknownFromSafety->Release();
    if (safety) safety->Release();
    if (dispatch) dispatch->Release();
    if (unknownFromPrimary) unknownFromPrimary->Release();
    CheckEqual(library.canUnloadNow(), S_FALSE, "the object lives on while one reference is held");
    CheckEqual(static_cast<long>(object->Release()), 0, "the last Release returns 0");
    CheckEqual(library.canUnloadNow(), S_OK, "after the object's last Release the library can unload");
}

// ---- Safety options ----------------------------------------------------------------------

struct SafetyRow {
    const char* what;
    bool set;
    const IID* setIid;
    DWORD mask;
    DWORD enabled;
    HRESULT setStatus;
    const IID* getIid;
    HRESULT getStatus;
    DWORD supported;
    DWORD reported;
};

// Applied in order to one new object: each row optionally sets, then gets.
const SafetyRow kSafetyRows[] = {
    {"a new object reports 3 and 0", false, nullptr, 0, 0, S_OK, &IID_IDispatch, S_OK, 3, 0},
    {"Set(1, 1) enables the untrusted-caller option", true, &IID_IDispatch, 1, 1, S_OK, &IID_IDispatch, S_OK, 3, 1},
    {"Set(1, 0) clears it again", true, &IID_IDispatch, 1, 0, S_OK, &IID_IDispatch, S_OK, 3, 0},
    {"Set(3, 2) gives exactly 2", true, &IID_IDispatch, 3, 2, S_OK, &IID_IDispatch, S_OK, 3, 2},
    {"a mask outside 3 fails and changes nothing", true, &IID_IDispatch, 4, 4, E_FAIL, &IID_IDispatch, S_OK, 3, 2},
    {"a mask with an outside bit changes nothing either", true, &IID_IDispatch, 5, 1, E_FAIL, &IID_IDispatch, S_OK, 3, 2},
    {"options outside the mask keep their values", true, &IID_IDispatch, 1, 1, S_OK, &IID_IDispatch, S_OK, 3, 3},
    {"enabled bits outside the mask are ignored", true, &IID_IDispatch, 2, 0xFFFFFFFF, S_OK, &IID_IDispatch, S_OK, 3, 3},
    {"Set for an unanswered IID fails", true, &IID_IClassFactory, 3, 0, E_NOINTERFACE, &IID_IDispatch, S_OK, 3, 3},
    {"Get for an unanswered IID writes 0 to both", false, nullptr, 0, 0, S_OK, &IID_IClassFactory, E_NOINTERFACE, 0, 0},
    {"the options belong to the object, not to one IID", false, nullptr, 0, 0, S_OK, &IID_IObjectSafety, S_OK, 3, 3},
    {"IUnknown is answered too", false, nullptr, 0, 0, S_OK, &IID_IUnknown, S_OK, 3, 3},
};

void SafetyChecks(const Library& library) {
    IDeZiVero* object = NewObject(library);
    if (!object) return;
    IObjectSafety* safety = nullptr;
    object->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety));
    Check(safety != nullptr, "the object answers IObjectSafety");
    if (!safety) {
        object->Release();
        return;
    }
    char what[160];
    for (const SafetyRow& row : kSafetyRows) {
        if (row.set) {
            std::snprintf(what, sizeof what, "%s (Set status)", row.what);
            CheckEqual(safety->SetInterfaceSafetyOptions(*row.setIid, row.mask, row.enabled), row.setStatus, what);
        }
        DWORD supported = kSentinel;
        DWORD enabled = kSentinel;
        std::snprintf(what, sizeof what, "%s (Get status)", row.what);
        CheckEqual(safety->GetInterfaceSafetyOptions(*row.getIid, &supported, &enabled), row.getStatus, what);
        std::snprintf(what, sizeof what, "%s (supported)", row.what);
        CheckEqual(static_cast<long>(supported), static_cast<long>(row.supported), what);
        std::snprintf(what, sizeof what, "%s (enabled)", row.what);
        CheckEqual(static_cast<long>(enabled), static_cast<long>(row.reported), what);
    }

    DWORD untouched = kSentinel;
    CheckEqual(safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, &untouched), E_POINTER,
               "Get with a null supported pointer");
    CheckEqual(static_cast<long>(untouched), static_cast<long>(kSentinel), "Get with a null pointer writes nothing");
    CheckEqual(safety->GetInterfaceSafetyOptions(IID_IDispatch, &untouched, nullptr), E_POINTER,
               "Get with a null enabled pointer");
    CheckEqual(static_cast<long>(untouched), static_cast<long>(kSentinel), "Get with a null pointer writes nothing");
    safety->Release();

    IDeZiVero* fresh = NewObject(library);
    if (fresh) {
        IObjectSafety* freshSafety = nullptr;
        fresh->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&freshSafety));
        DWORD supported = kSentinel;
        DWORD enabled = kSentinel;
        if (freshSafety) {
            freshSafety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled);
            freshSafety->Release();
        }
        CheckEqual(static_cast<long>(enabled), 0, "another object's options are its own");
        fresh->Release();
    }
    object->Release();
}

// ---- Aggregation -------------------------------------------------------------------------

// A controlling object that hands out the inner object's IDeZiVero and
// IDispatch but not its IObjectSafety.
class Outer final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown)) {
            AddRef();
            *out = static_cast<IUnknown*>(this);
            return S_OK;
        }
        if (inner && (IsEqualIID(iid, IID_IDeZiVero) || IsEqualIID(iid, IID_IDispatch))) {
            return inner->QueryInterface(iid, out);
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++count); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--count); }

    LONG count = 1;
    IUnknown* inner = nullptr;
};

void AggregationChecks(const Library& library) {
    IClassFactory* factory = GetFactory(library);
    if (!factory) return;
    Outer outer;
    HRESULT hr = factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner));
    factory->Release();
    CheckEqual(hr, S_OK, "aggregated creation with IID_IUnknown");
    if (!outer.inner) return;
    Check(outer.inner != static_cast<IUnknown*>(&outer), "the inner unknown is the wrapper's own");
    CheckEqual(outer.count, 1, "creating the aggregate does not count on the outer object");
    CheckEqual(library.canUnloadNow(), S_FALSE, "an aggregated object holds a module lock");

    CheckEqual(static_cast<long>(outer.inner->AddRef()), 2, "the wrapper counts its own references");
    CheckEqual(static_cast<long>(outer.inner->Release()), 1, "the wrapper's Release returns its count");
    CheckEqual(outer.count, 1, "the wrapper's count leaves the outer count alone");

    IDeZiVero* primary = nullptr;
    hr = outer.inner->QueryInterface(IID_IDeZiVero, reinterpret_cast<void**>(&primary));
    CheckEqual(hr, S_OK, "the wrapper answers IDeZiVero");
    if (!primary) {
        outer.inner->Release();
        return;
    }
    CheckEqual(outer.count, 2, "an inner interface handed out counts on the outer object");
    CheckEqual(static_cast<long>(primary->AddRef()), 3, "AddRef on an inner interface goes to the outer object");
    CheckEqual(outer.count, 3, "the outer count follows the inner AddRef");
    CheckEqual(static_cast<long>(primary->Release()), 2, "Release on an inner interface goes to the outer object");

    IUnknown* identity = nullptr;
    primary->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    Check(identity == static_cast<IUnknown*>(&outer), "IUnknown through the inner object is the outer object");
    if (identity) identity->Release();

    IObjectSafety* safety = nullptr;
    hr = primary->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety));
    CheckEqual(hr, S_OK, "what the outer object lacks, the inner interface table answers");
    CheckEqual(outer.count, 3, "that answer also counts on the outer object");
    if (safety) {
        DWORD supported = kSentinel;
        DWORD enabled = kSentinel;
        CheckEqual(safety->GetInterfaceSafetyOptions(IID_IDeZiVero, &supported, &enabled), S_OK,
                   "aggregated safety options for IDeZiVero");
        CheckEqual(static_cast<long>(supported), 3, "aggregated supported options");
        CheckEqual(outer.count, 3, "the safety check gives back what it asked for");
        supported = enabled = kSentinel;
        CheckEqual(safety->GetInterfaceSafetyOptions(IID_IClassFactory, &supported, &enabled), E_NOINTERFACE,
                   "aggregated safety options for an unanswered IID");
        CheckEqual(static_cast<long>(supported), 0, "unanswered IID: supported 0");
        safety->Release();
    }
    primary->Release();
    CheckEqual(outer.count, 1, "every inner reference given back to the outer object");
    CheckEqual(library.canUnloadNow(), S_FALSE, "the wrapper's count, not the outer count, keeps it alive");
    CheckEqual(static_cast<long>(outer.inner->Release()), 0, "the wrapper's last Release");
    outer.inner = nullptr;
    CheckEqual(library.canUnloadNow(), S_OK, "the aggregate is gone with the wrapper");
}

// ---- Dispatch ----------------------------------------------------------------------------

HRESULT IdOf(IDispatch* dispatch, const wchar_t* name, DISPID* dispid) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    return dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, dispid);
}

void DispatchBeforeRegistration(IDispatch* dispatch) {
    UINT count = kSentinel;
    CheckEqual(dispatch->GetTypeInfoCount(&count), S_OK, "GetTypeInfoCount");
    CheckEqual(static_cast<long>(count), 1, "GetTypeInfoCount yields 1");
    CheckEqual(dispatch->GetTypeInfoCount(nullptr), E_POINTER, "GetTypeInfoCount with a null pointer");

    DISPID dispid = static_cast<DISPID>(kSentinel);
    CheckEqual(IdOf(dispatch, L"OSName", &dispid), TYPE_E_LIBNOTREGISTERED,
               "GetIDsOfNames before registration returns the load failure");
    CheckEqual(dispid, static_cast<DISPID>(kSentinel), "a failed load writes no DISPID");

    ITypeInfo* info = static_cast<ITypeInfo*>(kSentinelPointer);
    CheckEqual(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), TYPE_E_LIBNOTREGISTERED,
               "GetTypeInfo before registration returns the load failure");
    Check(info == nullptr, "GetTypeInfo stores none on a failed load");

    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    CheckEqual(dispatch->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result,
                                nullptr, nullptr),
               TYPE_E_LIBNOTREGISTERED, "Invoke before registration returns the load failure");
}

struct NameRow {
    const char* what;
    const wchar_t* name;
    HRESULT status;
    DISPID dispid;
};

const NameRow kNameRows[] = {
    {"exact-case OSName from the cache", L"OSName", S_OK, 1},
    {"lower-case osname resolved by the type information", L"osname", S_OK, 1},
    {"ProcessorSpeed has DISPID 33", L"ProcessorSpeed", S_OK, 33},
    {"upper-case PROCESSORSPEED resolved too", L"PROCESSORSPEED", S_OK, 33},
    {"DockedInfo has DISPID 20", L"DockedInfo", S_OK, 20},
    {"HasAGPBus has DISPID 38", L"HasAGPBus", S_OK, 38},
};

void DispatchAfterRegistration(IDispatch* dispatch) {
    char what[160];
    for (const NameRow& row : kNameRows) {
        DISPID dispid = static_cast<DISPID>(kSentinel);
        std::snprintf(what, sizeof what, "%s (status)", row.what);
        CheckEqual(IdOf(dispatch, row.name, &dispid), row.status, what);
        std::snprintf(what, sizeof what, "%s (DISPID)", row.what);
        CheckEqual(dispid, row.dispid, what);
    }
    DISPID unknown = static_cast<DISPID>(kSentinel);
    CheckEqual(IdOf(dispatch, L"NoSuchMember", &unknown), DISP_E_UNKNOWNNAME,
               "a name neither cached nor known returns the type information's failure");
    CheckEqual(dispatch->GetIDsOfNames(IID_NULL, nullptr, 1, LOCALE_USER_DEFAULT, &unknown), E_POINTER,
               "GetIDsOfNames with a null name array");

    LPOLESTR named[] = {const_cast<LPOLESTR>(L"ProcessorSpeed"), const_cast<LPOLESTR>(L"lProcessor")};
    DISPID namedIds[2] = {static_cast<DISPID>(kSentinel), static_cast<DISPID>(kSentinel)};
    CheckEqual(dispatch->GetIDsOfNames(IID_NULL, named, 2, LOCALE_USER_DEFAULT, namedIds), S_OK,
               "a member with a named parameter");
    CheckEqual(namedIds[0], 33, "the member of a named-parameter request");
    CheckEqual(namedIds[1], 0, "the parameter of a named-parameter request");

    ITypeInfo* first = nullptr;
    ITypeInfo* fifth = nullptr;
    CheckEqual(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, &first), S_OK, "GetTypeInfo index 0");
    CheckEqual(dispatch->GetTypeInfo(5, LOCALE_USER_DEFAULT, &fifth), S_OK, "GetTypeInfo index 5");
    Check(first && first == fifth, "every index yields the same type information");
    if (first) first->Release();
    if (fifth) fifth->Release();
    CheckEqual(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, nullptr), E_POINTER,
               "GetTypeInfo with a null pointer");

    VARIANT argument;
    VariantInit(&argument);
    V_VT(&argument) = VT_I4;
    V_I4(&argument) = 0;
    DISPPARAMS oneArgument = {&argument, nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    CheckEqual(dispatch->Invoke(33, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &oneArgument, &result,
                                nullptr, nullptr),
               S_OK, "Invoke DISPID 33 calls ProcessorSpeed");
    CheckEqual(V_VT(&result), VT_I4, "ProcessorSpeed answers a 32-bit integer");
    VariantClear(&result);

    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    CheckEqual(dispatch->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result,
                                nullptr, nullptr),
               S_OK, "Invoke DISPID 1 reads OSName");
    CheckEqual(V_VT(&result), VT_BSTR, "OSName answers a string");
    VariantClear(&result);

    EXCEPINFO exception = {};
    const HRESULT hr = dispatch->Invoke(4, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result,
                                        &exception, nullptr);
    Check((hr == DISP_E_EXCEPTION && exception.scode == E_NOTIMPL) || hr == E_NOTIMPL,
          "Invoke of CSDVersion reports E_NOTIMPL");
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    VariantClear(&result);
}

// ---- Activation through the registry ------------------------------------------------------

void ActivationChecks() {
    CLSID clsid = {};
    CheckEqual(CLSIDFromProgID(L"Orvane.VXR.ZEKO.HWInfo", &clsid), S_OK, "the ProgID resolves");
    Check(IsEqualCLSID(clsid, CLSID_CoDeZiVero), "the ProgID names the class");
    CheckEqual(CLSIDFromProgID(L"Orvane.VXR.ZEKO.HWInfo.1", &clsid), S_OK, "the versioned ProgID resolves");
    Check(IsEqualCLSID(clsid, CLSID_CoDeZiVero), "the versioned ProgID names the class");

    IDispatch* dispatch = nullptr;
    CheckEqual(CoCreateInstance(CLSID_CoDeZiVero, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&dispatch)),
               S_OK, "CoCreateInstance through the registration");
    if (!dispatch) return;
    DISPID dispid = static_cast<DISPID>(kSentinel);
    CheckEqual(IdOf(dispatch, L"FindDevice", &dispid), S_OK, "a registry-created object dispatches");
    CheckEqual(dispid, 32, "FindDevice has DISPID 32");
    dispatch->Release();
}

bool TypeLibRegistered() {
    ITypeLib* library = nullptr;
    if (FAILED(LoadRegTypeLib(kLibId, 1, 0, LOCALE_NEUTRAL, &library))) return false;
    library->Release();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: server_client <DeZIVero.DLL>\n");
        return 2;
    }
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    std::printf("server_client: platform %lu, version %lu.%lu, %lu processors\n", version.dwPlatformId,
                version.dwMajorVersion, version.dwMinorVersion, system.dwNumberOfProcessors);

    wchar_t path[MAX_PATH];
    WidenPath(argv[1], path, MAX_PATH);
    CoInitialize(nullptr);

    Library library;
    library.module = LoadLibraryW(path);
    Check(library.module != nullptr, "the library loads");
    if (library.module) {
        library.getClassObject = Export<GetClassObjectRoutine>(library.module, "DllGetClassObject");
        library.canUnloadNow = Export<PlainRoutine>(library.module, "DllCanUnloadNow");
        library.registerServer = Export<PlainRoutine>(library.module, "DllRegisterServer");
        library.unregisterServer = Export<PlainRoutine>(library.module, "DllUnregisterServer");
    }
    const bool exported = library.getClassObject && library.canUnloadNow && library.registerServer &&
                          library.unregisterServer;
    Check(exported, "the four exports are found by name");
    if (exported) {
        ClassObjectChecks(library);
        CreationChecks(library);
        SafetyChecks(library);
        AggregationChecks(library);

        Check(!TypeLibRegistered(), "the prefix starts without the type library");
        IDeZiVero* object = NewObject(library);
        if (object) DispatchBeforeRegistration(object);

        CheckEqual(library.registerServer(), S_OK, "DllRegisterServer");
        Check(TypeLibRegistered(), "registration registers the type library");
        if (object) DispatchAfterRegistration(object);
        ActivationChecks();

        CheckEqual(library.unregisterServer(), S_OK, "DllUnregisterServer");
        Check(!TypeLibRegistered(), "unregistration removes the type library");
        if (object) {
            DISPID dispid = static_cast<DISPID>(kSentinel);
            CheckEqual(IdOf(object, L"osname", &dispid), S_OK,
                       "the type information stays loaded after unregistration");
            CheckEqual(dispid, 1, "and still resolves names");
            object->Release();
        }
        IDeZiVero* later = NewObject(library);
        if (later) {
            DISPID dispid = static_cast<DISPID>(kSentinel);
            CheckEqual(IdOf(later, L"CSD", &dispid), S_OK, "a later object uses the loaded information");
            CheckEqual(dispid, 3, "CSD has DISPID 3");
            later->Release();
        }
    }
    CoUninitialize();
    return tally::Summary("server_client");
}
