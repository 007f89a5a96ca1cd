// Reads the built DeZIVero.DLL the way its callers do: the embedded type
// library through LoadTypeLibEx (names, DISPIDs, interface-table slots,
// parameter types and flags, enumerations, help strings, identities), and the
// other resources through the loader (registration script, string table,
// version information).
//
// Arguments: the DLL's path and the path of the registration script it was
// built from; Unix paths are read through drive Z:. Prints every failed check
// and a final "typelib: N passed, N failed" line.
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

int passed = 0;
int failed = 0;

void Check(bool ok, const char* what, const wchar_t* detail = L"") {
    if (ok) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAILED: %s %ls\n", what, detail);
}

void CheckEqual(long actual, long expected, const char* what, const wchar_t* detail = L"") {
    if (actual == expected) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAILED: %s %ls: expected %ld (0x%lX), got %ld (0x%lX)\n", what, detail, expected,
                static_cast<unsigned long>(expected), actual, static_cast<unsigned long>(actual));
}

void CheckText(const wchar_t* actual, const wchar_t* expected, const char* what,
               const wchar_t* detail = L"") {
    if (actual && std::wcscmp(actual, expected) == 0) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAILED: %s %ls: expected \"%ls\", got \"%ls\"\n", what, detail, expected,
                actual ? actual : L"(null)");
}

// The identities callers bind to; written out here so that a changed
// description cannot carry its own expectations along.
constexpr GUID kLibId = {0x7A31C480, 0x52E6, 0x4B1F, {0xA0, 0xD7, 0x3C, 0x94, 0xE1, 0x8B, 0x6F, 0x25}};
constexpr GUID kInterfaceId = {0x7A31C48C, 0x52E6, 0x4B1F, {0xA0, 0xD7, 0x3C, 0x94, 0xE1, 0x8B, 0x6F, 0x25}};
constexpr GUID kInterface2Id = {0xB7CFF60C, 0x8BEE, 0x4CCF, {0xA3, 0x71, 0xEC, 0x1B, 0x89, 0xD7, 0xC6, 0xB2}};
constexpr GUID kClassId = {0x7A31C48D, 0x52E6, 0x4B1F, {0xA0, 0xD7, 0x3C, 0x94, 0xE1, 0x8B, 0x6F, 0x25}};

enum class Type { Long, Bstr, Bool, Variant, BootMode, DockInfo };

struct Param {
    const wchar_t* name;
    Type type;
    bool out;  // [out, retval] pointer; otherwise [in] by value
};

struct Member {
    const wchar_t* name;
    DISPID dispid;
    bool property;  // property get; otherwise a method
    int count;
    Param params[4];
};

constexpr Member kMembers[] = {
    {L"OSName", 1, true, 1, {{L"pbstrOSName", Type::Bstr, true}}},
    {L"OSVersion", 2, true, 1, {{L"pbstrVersion", Type::Bstr, true}}},
    {L"CSD", 3, true, 1, {{L"pbstrCSD", Type::Bstr, true}}},
    {L"CSDVersion", 4, true, 1, {{L"pbstrCSDVersion", Type::Bstr, true}}},
    {L"ComputerName", 5, true, 1, {{L"pbstrComputerName", Type::Bstr, true}}},
    {L"BootDrive", 6, true, 1, {{L"pbstrBootDrive", Type::Bstr, true}}},
    {L"BootMode", 7, true, 1, {{L"pBootMode", Type::BootMode, true}}},
    {L"SysDir", 8, true, 1, {{L"pbstrSystemDir", Type::Bstr, true}}},
    {L"WinDir", 9, true, 1, {{L"pbstrWindowsDir", Type::Bstr, true}}},
    {L"DebugEnabled", 10, true, 1, {{L"pbDebugEnabled", Type::Bool, true}}},
    {L"RegOwnerName", 11, true, 1, {{L"pbstrRegOwner", Type::Bstr, true}}},
    {L"RegOrganization", 12, true, 1, {{L"pbstrRegOrganization", Type::Bstr, true}}},
    {L"RegID", 13, true, 1, {{L"pbstrRegID", Type::Bstr, true}}},
    {L"MfgName", 14, true, 1, {{L"pbstrMfgName", Type::Bstr, true}}},
    {L"MfgComputerModel", 15, true, 1, {{L"pbstrMfgComputerModel", Type::Bstr, true}}},
    {L"NumberOfProcessors", 16, true, 1, {{L"plNumberOfProcessors", Type::Long, true}}},
    {L"ProcessorId", 17, false, 2,
     {{L"lProcessor", Type::Long, false}, {L"pbstrProcessorId", Type::Bstr, true}}},
    {L"ProcessorMMXId", 18, false, 2,
     {{L"lProcessor", Type::Long, false}, {L"pbstrProcessorMMXId", Type::Bstr, true}}},
    {L"ProcessorVendorId", 19, false, 2,
     {{L"lProcessor", Type::Long, false}, {L"pbstrProcessorVendorId", Type::Bstr, true}}},
    {L"ProcessorSpeed", 33, false, 2,
     {{L"lProcessor", Type::Long, false}, {L"plProcessorSpeed", Type::Long, true}}},
    {L"DockedInfo", 20, true, 1, {{L"pDockInfo", Type::DockInfo, true}}},
    {L"CurrentHWProfile", 21, true, 1, {{L"pbstrHWProfileName", Type::Bstr, true}}},
    {L"MemoryTotalPhys", 22, true, 1, {{L"plTotalPhys", Type::Long, true}}},
    {L"MemoryTotalPageFile", 23, true, 1, {{L"plTotalPageFile", Type::Long, true}}},
    {L"MemoryTotalVirtual", 24, true, 1, {{L"plTotalVirtual", Type::Long, true}}},
    {L"PowerStatus", 25, true, 1, {{L"plPowerStatus", Type::Long, true}}},
    {L"BatteryStatus", 26, true, 1, {{L"plBatteryStatus", Type::Long, true}}},
    {L"BatteryLifeTime", 27, true, 1, {{L"plLifeTime", Type::Long, true}}},
    {L"BatteryFullLifeTime", 28, true, 1, {{L"plFullLifeTime", Type::Long, true}}},
    {L"HWKey", 29, true, 1, {{L"pbstrHWKey", Type::Bstr, true}}},
    {L"DeviceStatus", 30, true, 1, {{L"plDevStatus", Type::Long, true}}},
    {L"GetDeviceInfo", 31, false, 4,
     {{L"bstrHWKey", Type::Bstr, false},
      {L"bstrSubkey", Type::Bstr, false},
      {L"bstrAskFor", Type::Bstr, false},
      {L"pvValue", Type::Variant, true}}},
    {L"FindDevice", 32, false, 3,
     {{L"lDeviceNumber", Type::Long, false},
      {L"bstrDeviceClass", Type::Bstr, false},
      {L"pbDeviceFound", Type::Bool, true}}},
    {L"FixedDiskSizeInMB", 34, false, 2,
     {{L"lDiskNumber", Type::Long, false}, {L"plSize", Type::Long, true}}},
    {L"FixedDisksSizeInMB", 35, true, 1, {{L"pVal", Type::Long, true}}},
    {L"FixedDisksFreeSpaceInMB", 36, true, 1, {{L"pVal", Type::Long, true}}},
    {L"HasSCSIBus", 37, true, 1, {{L"pVal", Type::Bool, true}}},
    {L"HasAGPBus", 38, true, 1, {{L"pVal", Type::Bool, true}}},
};
constexpr int kMemberCount = sizeof kMembers / sizeof kMembers[0];
static_assert(kMemberCount == 38, "the interface has 38 members");

// IDeZiVero2's own members, after IDeZiVero's in the interface table.
constexpr Member kMembers2[] = {
    {L"MemoryTotalPhysInMB", 39, true, 1, {{L"plTotalPhysInMB", Type::Long, true}}},
    {L"MemoryAvailPhysInMB", 40, true, 1, {{L"plAvailPhysInMB", Type::Long, true}}},
    {L"MemoryTotalPageFileInMB", 41, true, 1, {{L"plTotalPageFileInMB", Type::Long, true}}},
    {L"MemoryAvailPageFileInMB", 42, true, 1, {{L"plAvailPageFileInMB", Type::Long, true}}},
    {L"OSBuild", 43, true, 1, {{L"pbstrOSBuild", Type::Bstr, true}}},
    {L"OSDisplayVersion", 44, true, 1, {{L"pbstrOSDisplayVersion", Type::Bstr, true}}},
    {L"OSEdition", 45, true, 1, {{L"pbstrOSEdition", Type::Bstr, true}}},
    {L"OSArchitecture", 46, true, 1, {{L"pbstrOSArchitecture", Type::Bstr, true}}},
    {L"ProcessorName", 47, false, 2,
     {{L"lProcessor", Type::Long, false}, {L"pbstrProcessorName", Type::Bstr, true}}},
    {L"ProcessorCoreCount", 48, true, 1, {{L"plProcessorCoreCount", Type::Long, true}}},
    {L"ProcessorLogicalCount", 49, true, 1, {{L"plProcessorLogicalCount", Type::Long, true}}},
    {L"BIOSVendor", 50, true, 1, {{L"pbstrBIOSVendor", Type::Bstr, true}}},
    {L"BIOSVersion", 51, true, 1, {{L"pbstrBIOSVersion", Type::Bstr, true}}},
    {L"BIOSReleaseDate", 52, true, 1, {{L"pbstrBIOSReleaseDate", Type::Bstr, true}}},
    {L"SystemFamily", 53, true, 1, {{L"pbstrSystemFamily", Type::Bstr, true}}},
    {L"BaseBoardManufacturer", 54, true, 1, {{L"pbstrBaseBoardManufacturer", Type::Bstr, true}}},
    {L"BaseBoardProduct", 55, true, 1, {{L"pbstrBaseBoardProduct", Type::Bstr, true}}},
    {L"BatteryLifePercent", 56, true, 1, {{L"plBatteryLifePercent", Type::Long, true}}},
};
constexpr int kMember2Count = sizeof kMembers2 / sizeof kMembers2[0];
static_assert(kMember2Count == 18, "IDeZiVero2 adds 18 members");

// IUnknown and IDispatch come first in the interface table.
constexpr int kInheritedSlots = 7;

struct Enumerator {
    const wchar_t* name;
    long value;
};

struct Enumeration {
    const wchar_t* name;
    int count;
    Enumerator enumerators[5];
};

constexpr Enumeration kEnumerations[] = {
    {L"tagZEKO_BOOT_MODE", 4,
     {{L"ZEKO_BOOT_NORMAL", 0},
      {L"ZEKO_BOOT_FAIL_SAFE", 1},
      {L"ZEKO_BOOT_FAIL_SAFE_NETWORK", 2},
      {L"ZEKO_BOOT_UNKNOWN", 3}}},
    {L"tagZEKO_DOCKINFO", 5,
     {{L"ZEKO_DOCKINFO_UNDOCKED", 0},
      {L"ZEKO_DOCKINFO_DOCKED", 1},
      {L"ZEKO_DOCKINFO_USER_UNDOCKED", 2},
      {L"ZEKO_DOCKINFO_USER_DOCKED", 3},
      {L"ZEKO_DOCKINFO_UNKNOWN", 4}}},
};

// Owners for what the type library hands out.
struct Bstr {
    BSTR text = nullptr;
    ~Bstr() { SysFreeString(text); }
    BSTR* operator&() {
        SysFreeString(text);
        text = nullptr;
        return &text;
    }
};

template <typename T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p) p->Release();
    }
    T** operator&() {
        if (p) p->Release();
        p = nullptr;
        return &p;
    }
    T* operator->() const { return p; }
};

struct TypeAttr {
    ITypeInfo* info;
    TYPEATTR* attr = nullptr;
    explicit TypeAttr(ITypeInfo* i) : info(i) {
        if (info && FAILED(info->GetTypeAttr(&attr))) attr = nullptr;
    }
    ~TypeAttr() {
        if (attr) info->ReleaseTypeAttr(attr);
    }
};

struct FuncDesc {
    ITypeInfo* info;
    FUNCDESC* desc = nullptr;
    FuncDesc(ITypeInfo* i, UINT index) : info(i) {
        if (FAILED(info->GetFuncDesc(index, &desc))) desc = nullptr;
    }
    ~FuncDesc() {
        if (desc) info->ReleaseFuncDesc(desc);
    }
};

struct VarDesc {
    ITypeInfo* info;
    VARDESC* desc = nullptr;
    VarDesc(ITypeInfo* i, UINT index) : info(i) {
        if (FAILED(info->GetVarDesc(index, &desc))) desc = nullptr;
    }
    ~VarDesc() {
        if (desc) info->ReleaseVarDesc(desc);
    }
};

// Name and help string of a type or of one of its members.
void CheckDocumentation(ITypeInfo* info, MEMBERID member, const wchar_t* name,
                        const wchar_t* help, const char* what) {
    Bstr actualName, actualHelp;
    HRESULT hr = info->GetDocumentation(member, &actualName, help ? &actualHelp : nullptr,
                                        nullptr, nullptr);
    CheckEqual(hr, S_OK, what, name);
    CheckText(actualName.text, name, what);
    if (help) CheckText(actualHelp.text, help, what, name);
}

// Name and kind of the type a VT_USERDEFINED refers to.
void CheckUserType(ITypeInfo* info, HREFTYPE ref, const wchar_t* name, TYPEKIND kind,
                   const wchar_t* where) {
    Com<ITypeInfo> target;
    CheckEqual(info->GetRefTypeInfo(ref, &target), S_OK, "referenced type resolves", where);
    if (!target.p) return;
    Bstr actualName;
    target->GetDocumentation(MEMBERID_NIL, &actualName, nullptr, nullptr, nullptr);
    CheckText(actualName.text, name, "referenced type", where);
    TypeAttr attr(target.p);
    Check(attr.attr && attr.attr->typekind == kind, "referenced type kind", where);
}

void CheckParam(ITypeInfo* info, const ELEMDESC& element, const Param& expected,
                const wchar_t* where) {
    const USHORT flags = element.paramdesc.wParamFlags;
    CheckEqual(flags, expected.out ? (PARAMFLAG_FOUT | PARAMFLAG_FRETVAL) : PARAMFLAG_FIN,
               "parameter flags", where);
    const TYPEDESC* type = &element.tdesc;
    if (expected.out) {
        CheckEqual(type->vt, VT_PTR, "out parameter is a pointer", where);
        if (type->vt != VT_PTR) return;
        type = type->lptdesc;
    }
    switch (expected.type) {
    case Type::Long: CheckEqual(type->vt, VT_I4, "parameter type", where); break;
    case Type::Bstr: CheckEqual(type->vt, VT_BSTR, "parameter type", where); break;
    case Type::Bool: CheckEqual(type->vt, VT_BOOL, "parameter type", where); break;
    case Type::Variant: CheckEqual(type->vt, VT_VARIANT, "parameter type", where); break;
    case Type::BootMode:
    case Type::DockInfo:
        CheckEqual(type->vt, VT_USERDEFINED, "parameter type", where);
        if (type->vt != VT_USERDEFINED) return;
        CheckUserType(info, type->hreftype,
                      expected.type == Type::BootMode ? L"tagZEKO_BOOT_MODE" : L"tagZEKO_DOCKINFO",
                      TKIND_ENUM, where);
        break;
    }
}

// Member `index` of an interface whose own members start at interface-table slot firstSlot.
void CheckMember(ITypeInfo* vtable, ITypeInfo* dispatch, const Member& expected, int index,
                 int firstSlot) {
    const wchar_t* where = expected.name;
    FuncDesc func(vtable, static_cast<UINT>(index));
    Check(func.desc != nullptr, "function description", where);
    if (!func.desc) return;
    const FUNCDESC& f = *func.desc;

    Bstr name;
    vtable->GetDocumentation(f.memid, &name, nullptr, nullptr, nullptr);
    CheckText(name.text, expected.name, "member at its interface-table position", where);
    CheckEqual(f.memid, expected.dispid, "DISPID", where);
    CheckEqual(f.oVft, (firstSlot + index) * static_cast<long>(sizeof(void*)),
               "interface-table offset", where);
    CheckEqual(f.invkind, expected.property ? INVOKE_PROPERTYGET : INVOKE_FUNC, "invoke kind", where);
    CheckEqual(f.funckind, FUNC_PUREVIRTUAL, "function kind", where);
    CheckEqual(f.callconv, CC_STDCALL, "calling convention", where);
    CheckEqual(f.elemdescFunc.tdesc.vt, VT_HRESULT, "returns HRESULT", where);
    CheckEqual(f.cParamsOpt, 0, "no optional parameters", where);
    CheckEqual(f.cParams, expected.count, "parameter count", where);

    BSTR names[6] = {};
    UINT got = 0;
    CheckEqual(vtable->GetNames(f.memid, names, 6, &got), S_OK, "GetNames", where);
    CheckEqual(static_cast<long>(got), expected.count + 1, "names: the member and its parameters",
               where);
    for (int p = 0; p < expected.count && p < f.cParams; ++p) {
        CheckText(p + 1 < static_cast<int>(got) ? names[p + 1] : nullptr, expected.params[p].name,
                  "parameter name", where);
        CheckParam(vtable, f.lprgelemdescParam[p], expected.params[p], where);
    }
    for (BSTR n : names) SysFreeString(n);

    // Binding by name goes through the dispatch side of the dual interface.
    LPOLESTR lookup = const_cast<LPOLESTR>(expected.name);
    MEMBERID byName = DISPID_UNKNOWN;
    CheckEqual(dispatch->GetIDsOfNames(&lookup, 1, &byName), S_OK, "name binds", where);
    CheckEqual(byName, expected.dispid, "DISPID bound by name", where);
}

// One dual interface as its callers see it: its own members in their slots, its base.
struct Interface {
    const GUID* iid;
    const wchar_t* name;
    const wchar_t* help;
    const Member* members;
    int count;
    int firstSlot;  // of its own members in the interface table
    const wchar_t* base;
};

constexpr Interface kInterfaces[] = {
    {&kInterfaceId, L"IDeZiVero", L"IDeZiVero Interface", kMembers, kMemberCount, kInheritedSlots,
     L"IDispatch"},
    {&kInterface2Id, L"IDeZiVero2", L"IDeZiVero2 Interface", kMembers2, kMember2Count,
     kInheritedSlots + kMemberCount, L"IDeZiVero"},
};

// Every member of IDeZiVero and IDeZiVero2 binds by name on IDeZiVero2's dispatch side,
// with the DISPID it has on its own interface.
void CheckInheritedNames(ITypeInfo* dispatch) {
    for (const Interface& face : kInterfaces) {
        for (int i = 0; i < face.count; ++i) {
            LPOLESTR lookup = const_cast<LPOLESTR>(face.members[i].name);
            MEMBERID byName = DISPID_UNKNOWN;
            CheckEqual(dispatch->GetIDsOfNames(&lookup, 1, &byName), S_OK,
                       "name binds on IDeZiVero2", face.members[i].name);
            CheckEqual(byName, face.members[i].dispid, "DISPID bound on IDeZiVero2",
                       face.members[i].name);
        }
    }
}

void CheckInterface(ITypeLib* lib, const Interface& face) {
    Com<ITypeInfo> dispatch;
    CheckEqual(lib->GetTypeInfoOfGuid(*face.iid, &dispatch), S_OK, "interface by its IID", face.name);
    if (!dispatch.p) return;
    CheckDocumentation(dispatch.p, MEMBERID_NIL, face.name, face.help, "interface");
    {
        TypeAttr attr(dispatch.p);
        Check(attr.attr && attr.attr->typekind == TKIND_DISPATCH, "dual interface's dispatch side",
              face.name);
        Check(attr.attr && (attr.attr->wTypeFlags & TYPEFLAG_FDUAL), "interface is dual", face.name);
    }

    HREFTYPE vtableRef = 0;
    Com<ITypeInfo> vtable;
    CheckEqual(dispatch->GetRefTypeOfImplType(-1, &vtableRef), S_OK, "interface-table side", face.name);
    CheckEqual(dispatch->GetRefTypeInfo(vtableRef, &vtable), S_OK, "interface-table side resolves",
               face.name);
    if (!vtable.p) return;

    TypeAttr attr(vtable.p);
    Check(attr.attr != nullptr, "interface-table side attributes", face.name);
    if (!attr.attr) return;
    CheckEqual(attr.attr->typekind, TKIND_INTERFACE, "interface-table side kind", face.name);
    Check(IsEqualGUID(attr.attr->guid, *face.iid), "interface-table side IID", face.name);
    Check((attr.attr->wTypeFlags & TYPEFLAG_FDUAL) != 0, "interface-table side is dual", face.name);
    Check((attr.attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION) != 0,
          "interface is automation-compatible", face.name);
    CheckEqual(attr.attr->cFuncs, face.count, "member count", face.name);
    CheckEqual(attr.attr->cbSizeVft, (face.firstSlot + face.count) * static_cast<long>(sizeof(void*)),
               "interface-table size", face.name);
    CheckEqual(attr.attr->cImplTypes, 1, "one base interface", face.name);

    HREFTYPE baseRef = 0;
    if (SUCCEEDED(vtable->GetRefTypeOfImplType(0, &baseRef)))
        CheckUserType(vtable.p, baseRef, face.base, TKIND_INTERFACE, face.name);
    else
        Check(false, "base interface", face.name);

    for (int i = 0; i < face.count && i < attr.attr->cFuncs; ++i)
        CheckMember(vtable.p, dispatch.p, face.members[i], i, face.firstSlot);
    if (face.iid == &kInterface2Id) CheckInheritedNames(dispatch.p);
}

// Finds a type of the library by name.
bool FindType(ITypeLib* lib, const wchar_t* name, ITypeInfo** info) {
    const UINT count = lib->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
        Bstr typeName;
        if (FAILED(lib->GetDocumentation(static_cast<INT>(i), &typeName, nullptr, nullptr, nullptr)))
            continue;
        if (typeName.text && std::wcscmp(typeName.text, name) == 0) return SUCCEEDED(lib->GetTypeInfo(i, info));
    }
    return false;
}

void CheckEnumeration(ITypeLib* lib, const Enumeration& expected) {
    const wchar_t* where = expected.name;
    Com<ITypeInfo> info;
    Check(FindType(lib, expected.name, &info), "enumeration present", where);
    if (!info.p) return;
    TypeAttr attr(info.p);
    Check(attr.attr && attr.attr->typekind == TKIND_ENUM, "is an enumeration", where);
    if (!attr.attr) return;
    CheckEqual(attr.attr->cVars, expected.count, "enumerator count", where);
    for (int i = 0; i < expected.count && i < attr.attr->cVars; ++i) {
        const Enumerator& e = expected.enumerators[i];
        VarDesc var(info.p, static_cast<UINT>(i));
        Check(var.desc != nullptr, "enumerator description", e.name);
        if (!var.desc) continue;
        CheckDocumentation(info.p, var.desc->memid, e.name, nullptr, "enumerator");
        CheckEqual(var.desc->varkind, VAR_CONST, "enumerator is a constant", e.name);
        const VARIANT* value = var.desc->lpvarValue;
        Check(value && (V_VT(value) == VT_I4 || V_VT(value) == VT_INT), "enumerator is 32-bit", e.name);
        if (value) CheckEqual(V_I4(value), e.value, "enumerator value", e.name);
    }
}

void CheckClass(ITypeLib* lib) {
    Com<ITypeInfo> info;
    CheckEqual(lib->GetTypeInfoOfGuid(kClassId, &info), S_OK, "CoDeZiVero by its CLSID");
    if (!info.p) return;
    CheckDocumentation(info.p, MEMBERID_NIL, L"CoDeZiVero", L"Orvane Hardware Finder Control", "class");
    TypeAttr attr(info.p);
    Check(attr.attr && attr.attr->typekind == TKIND_COCLASS, "class kind");
    Check(attr.attr && (attr.attr->wTypeFlags & TYPEFLAG_FCANCREATE), "class is creatable");
    Check(attr.attr && attr.attr->cImplTypes == 1, "class names one interface, IDeZiVero2");
    INT flags = 0;
    CheckEqual(info->GetImplTypeFlags(0, &flags), S_OK, "implemented interface flags");
    Check((flags & IMPLTYPEFLAG_FDEFAULT) != 0, "IDeZiVero2 is the default interface");
    HREFTYPE ref = 0;
    CheckEqual(info->GetRefTypeOfImplType(0, &ref), S_OK, "implemented interface");
    Com<ITypeInfo> implemented;
    CheckEqual(info->GetRefTypeInfo(ref, &implemented), S_OK, "implemented interface resolves");
    if (!implemented.p) return;
    TypeAttr implementedAttr(implemented.p);
    Check(implementedAttr.attr && IsEqualGUID(implementedAttr.attr->guid, kInterface2Id),
          "the class implements IDeZiVero2");
}

void CheckTypeLibrary(const wchar_t* dll) {
    Com<ITypeLib> lib;
    CheckEqual(LoadTypeLibEx(dll, REGKIND_NONE, &lib), S_OK, "LoadTypeLibEx", dll);
    if (!lib.p) return;

    TLIBATTR* attr = nullptr;
    CheckEqual(lib->GetLibAttr(&attr), S_OK, "library attributes");
    if (attr) {
        Check(IsEqualGUID(attr->guid, kLibId), "LIBID");
        CheckEqual(attr->wMajorVerNum, 1, "major version");
        CheckEqual(attr->wMinorVerNum, 0, "minor version");
        // A 64-bit library registers under "win64", where 64-bit hosts look first.
        CheckEqual(attr->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32,
                   "system kind of the build");
        lib->ReleaseTLibAttr(attr);
    }
    Bstr name, help;
    CheckEqual(lib->GetDocumentation(-1, &name, &help, nullptr, nullptr), S_OK, "library documentation");
    CheckText(name.text, L"DEZIVEROLib", "library name");
    CheckText(help.text, L"DeZIVero 1.0 Type Library", "library help string");
    CheckEqual(static_cast<long>(lib->GetTypeInfoCount()), 5,
               "types: two enumerations, the two interfaces, the class");

    for (const Interface& face : kInterfaces) CheckInterface(lib.p, face);
    for (const Enumeration& e : kEnumerations) CheckEnumeration(lib.p, e);
    CheckClass(lib.p);
}

// ---- Resources other than the type library ----------------------------------------------

bool ReadWholeFile(const wchar_t* path, char* buffer, DWORD size, DWORD* read) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const BOOL ok = ReadFile(file, buffer, size, read, nullptr);
    CloseHandle(file);
    return ok != FALSE;
}

void CheckRegistrationScript(HMODULE module, const wchar_t* scriptPath) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(101), L"REGISTRY");
    Check(found != nullptr, "REGISTRY 101 present");
    if (!found) return;
    const DWORD size = SizeofResource(module, found);
    CheckEqual(static_cast<long>(size), 705, "REGISTRY 101 size");
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    Check(bytes != nullptr, "REGISTRY 101 loads");

    static char script[64 * 1024];
    DWORD read = 0;
    Check(ReadWholeFile(scriptPath, script, sizeof script, &read), "registration script file reads",
          scriptPath);
    CheckEqual(static_cast<long>(read), static_cast<long>(size), "script file and resource sizes agree",
               scriptPath);
    Check(bytes && read == size && std::memcmp(bytes, script, size) == 0,
          "resource holds the script file byte for byte");
    Check(bytes && size > 2 && std::memcmp(bytes, "HKCR\r\n", 6) == 0, "script lines end with CR LF");
}

void CheckTypeLibraryResource(HMODULE module) {
    Check(FindResourceW(module, MAKEINTRESOURCEW(1), L"TYPELIB") != nullptr, "TYPELIB 1 present");
}

void CheckStringTable(HMODULE module) {
    wchar_t text[64] = L"\xCCCC";
    const int length = LoadStringW(module, 100, text, 64);
    CheckEqual(length, 8, "string 100 length");
    CheckText(text, L"DeZIVero", "string 100");
}

struct VersionString {
    const wchar_t* name;
    const wchar_t* value;
};

constexpr VersionString kVersionStrings[] = {
    {L"CompanyName", L"Orvane"},
    {L"FileDescription", L"DeZIVero Module"},
    {L"FileVersion", L"1, 0, 0, 6"},
    {L"InternalName", L"DeZIVero"},
    {L"LegalCopyright", L"Copyright (C) Orvane"},
    {L"OLESelfRegister", L""},
    {L"OriginalFilename", L"DeZIVero.DLL"},
    {L"ProductName", L"DeZIVero Module"},
    {L"ProductVersion", L"1, 0, 0, 6"},
};

void CheckVersionInformation(const wchar_t* dll) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(dll, &handle);
    Check(size > 0, "version information present");
    if (size == 0) return;
    static char data[16 * 1024];
    Check(size <= sizeof data, "version information fits");
    if (size > sizeof data) return;
    Check(GetFileVersionInfoW(dll, 0, size, data) != FALSE, "version information reads");

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    Check(VerQueryValueW(data, L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed,
          "fixed version record");
    if (fixed) {
        CheckEqual(static_cast<long>(fixed->dwSignature), static_cast<long>(0xFEEF04BD), "signature");
        CheckEqual(static_cast<long>(fixed->dwFileVersionMS), 0x00010000, "file version 1.0");
        CheckEqual(static_cast<long>(fixed->dwFileVersionLS), 0x00000006, "file version .0.6");
        CheckEqual(static_cast<long>(fixed->dwProductVersionMS), 0x00010000, "product version 1.0");
        CheckEqual(static_cast<long>(fixed->dwProductVersionLS), 0x00000006, "product version .0.6");
        CheckEqual(static_cast<long>(fixed->dwFileType), VFT_DLL, "file type");
    }

    WORD* translation = nullptr;
    Check(VerQueryValueW(data, L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                         &length) && translation && length >= 4,
          "translation");
    if (translation && length >= 4) {
        CheckEqual(translation[0], 0x0409, "translation language");
        CheckEqual(translation[1], 0x04B0, "translation code page");
    }

    for (const VersionString& entry : kVersionStrings) {
        wchar_t path[128];
        std::swprintf(path, 128, L"\\StringFileInfo\\040904B0\\%ls", entry.name);
        wchar_t* value = nullptr;
        length = 0;
        const BOOL found = VerQueryValueW(data, path, reinterpret_cast<void**>(&value), &length);
        Check(found != FALSE, "version string present", entry.name);
        if (found) CheckText(value ? value : L"", entry.value, "version string", entry.name);
    }
}

void CheckResources(const wchar_t* dll, const wchar_t* scriptPath) {
    HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    Check(module != nullptr, "library loads as data", dll);
    if (!module) return;
    CheckTypeLibraryResource(module);
    CheckRegistrationScript(module, scriptPath);
    CheckStringTable(module);
    FreeLibrary(module);
    CheckVersionInformation(dll);
}

// A Unix path from the build becomes a path on drive Z:, which Wine maps to "/".
void WindowsPath(const char* in, wchar_t* out, int size) {
    char path[MAX_PATH * 2];
    std::snprintf(path, sizeof path, "%s%s", in[0] == '/' ? "Z:" : "", in);
    for (char* c = path; *c; ++c)
        if (*c == '/') *c = '\\';
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, out, size)) out[0] = L'\0';
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::printf("usage: typelib_test <DeZIVero.DLL> <DeZIVero.rgs>\n");
        return 2;
    }
    static wchar_t dll[MAX_PATH * 2], script[MAX_PATH * 2];
    WindowsPath(argv[1], dll, MAX_PATH * 2);
    WindowsPath(argv[2], script, MAX_PATH * 2);

    CoInitialize(nullptr);
    CheckTypeLibrary(dll);
    CheckResources(dll, script);
    CoUninitialize();

    std::printf("typelib: %d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
