// The members of IDeZiVero2 as test programs drive them, IDeZiVero's 38
// first, then the 18 IDeZiVero2 adds: name, DISPID,
// whether dispatch reaches them as a property or a method, the shape of
// their arguments, and the interface-table entry that serves them. One
// routine calls any member through the interface table and renders the
// answer as text, so that answers can be compared across objects, threads
// and loads of the library.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "DeZIVero_h.h"

namespace members {

enum class Shape {
    Text,         // get_X(BSTR*)
    Number,       // get_X(LONG*)
    Flag,         // get_X(VARIANT_BOOL*)
    BootMode,     // get_BootMode(enum*)
    DockInfo,     // get_DockedInfo(enum*)
    IndexText,    // X(LONG, BSTR*)
    IndexNumber,  // X(LONG, LONG*)
    DeviceInfo,   // GetDeviceInfo(BSTR, BSTR, BSTR, VARIANT*)
    FindDevice,   // FindDevice(LONG, BSTR, VARIANT_BOOL*)
};

using TextGet = HRESULT (STDMETHODCALLTYPE IDeZiVero2::*)(BSTR*);
using NumberGet = HRESULT (STDMETHODCALLTYPE IDeZiVero2::*)(LONG*);
using FlagGet = HRESULT (STDMETHODCALLTYPE IDeZiVero2::*)(VARIANT_BOOL*);
using BootModeGet = HRESULT (STDMETHODCALLTYPE IDeZiVero2::*)(enum tagZEKO_BOOT_MODE*);
using DockInfoGet = HRESULT (STDMETHODCALLTYPE IDeZiVero2::*)(enum tagZEKO_DOCKINFO*);
using IndexText = HRESULT (STDMETHODCALLTYPE IDeZiVero2::*)(LONG, BSTR*);
using IndexNumber = HRESULT (STDMETHODCALLTYPE IDeZiVero2::*)(LONG, LONG*);
using DeviceInfo = HRESULT (STDMETHODCALLTYPE IDeZiVero2::*)(BSTR, BSTR, BSTR, VARIANT*);
using FindDeviceCall = HRESULT (STDMETHODCALLTYPE IDeZiVero2::*)(LONG, BSTR, VARIANT_BOOL*);

struct Member {
    const wchar_t* name;
    DISPID dispid;
    Shape shape;
    union {
        TextGet text;
        NumberGet number;
        FlagGet flag;
        BootModeGet bootMode;
        DockInfoGet dockInfo;
        IndexText indexText;
        IndexNumber indexNumber;
        DeviceInfo deviceInfo;
        FindDeviceCall findDevice;
    };

    constexpr Member(const wchar_t* n, DISPID d, TextGet f) : name(n), dispid(d), shape(Shape::Text), text(f) {}
    constexpr Member(const wchar_t* n, DISPID d, NumberGet f)
        : name(n), dispid(d), shape(Shape::Number), number(f) {}
    constexpr Member(const wchar_t* n, DISPID d, FlagGet f) : name(n), dispid(d), shape(Shape::Flag), flag(f) {}
    constexpr Member(const wchar_t* n, DISPID d, BootModeGet f)
        : name(n), dispid(d), shape(Shape::BootMode), bootMode(f) {}
    constexpr Member(const wchar_t* n, DISPID d, DockInfoGet f)
        : name(n), dispid(d), shape(Shape::DockInfo), dockInfo(f) {}
    constexpr Member(const wchar_t* n, DISPID d, IndexText f)
        : name(n), dispid(d), shape(Shape::IndexText), indexText(f) {}
    constexpr Member(const wchar_t* n, DISPID d, IndexNumber f)
        : name(n), dispid(d), shape(Shape::IndexNumber), indexNumber(f) {}
    constexpr Member(const wchar_t* n, DISPID d, DeviceInfo f)
        : name(n), dispid(d), shape(Shape::DeviceInfo), deviceInfo(f) {}
    constexpr Member(const wchar_t* n, DISPID d, FindDeviceCall f)
        : name(n), dispid(d), shape(Shape::FindDevice), findDevice(f) {}

    // Dispatch reaches the argument-less members as properties, the others
    // as methods.
    bool IsProperty() const { return ArgumentCount() == 0; }

    unsigned ArgumentCount() const {
        switch (shape) {
        case Shape::IndexText:
        case Shape::IndexNumber: return 1;
        case Shape::FindDevice: return 2;
        case Shape::DeviceInfo: return 3;
        default: return 0;
        }
    }

    // The type of [in] argument i, counted from the first as written.
    VARTYPE ArgumentType(unsigned i) const {
        switch (shape) {
        case Shape::IndexText:
        case Shape::IndexNumber: return VT_I4;
        case Shape::FindDevice: return i == 0 ? VT_I4 : VT_BSTR;
        case Shape::DeviceInfo: return VT_BSTR;
        default: return VT_EMPTY;
        }
    }
};

// In interface-table order.
const Member kMembers[] = {
    {L"OSName", 1, &IDeZiVero::get_OSName},
    {L"OSVersion", 2, &IDeZiVero::get_OSVersion},
    {L"CSD", 3, &IDeZiVero::get_CSD},
    {L"CSDVersion", 4, &IDeZiVero::get_CSDVersion},
    {L"ComputerName", 5, &IDeZiVero::get_ComputerName},
    {L"BootDrive", 6, &IDeZiVero::get_BootDrive},
    {L"BootMode", 7, &IDeZiVero::get_BootMode},
    {L"SysDir", 8, &IDeZiVero::get_SysDir},
    {L"WinDir", 9, &IDeZiVero::get_WinDir},
    {L"DebugEnabled", 10, &IDeZiVero::get_DebugEnabled},
    {L"RegOwnerName", 11, &IDeZiVero::get_RegOwnerName},
    {L"RegOrganization", 12, &IDeZiVero::get_RegOrganization},
    {L"RegID", 13, &IDeZiVero::get_RegID},
    {L"MfgName", 14, &IDeZiVero::get_MfgName},
    {L"MfgComputerModel", 15, &IDeZiVero::get_MfgComputerModel},
    {L"NumberOfProcessors", 16, &IDeZiVero::get_NumberOfProcessors},
    {L"ProcessorId", 17, &IDeZiVero::ProcessorId},
    {L"ProcessorMMXId", 18, &IDeZiVero::ProcessorMMXId},
    {L"ProcessorVendorId", 19, &IDeZiVero::ProcessorVendorId},
    {L"ProcessorSpeed", 33, &IDeZiVero::ProcessorSpeed},
    {L"DockedInfo", 20, &IDeZiVero::get_DockedInfo},
    {L"CurrentHWProfile", 21, &IDeZiVero::get_CurrentHWProfile},
    {L"MemoryTotalPhys", 22, &IDeZiVero::get_MemoryTotalPhys},
    {L"MemoryTotalPageFile", 23, &IDeZiVero::get_MemoryTotalPageFile},
    {L"MemoryTotalVirtual", 24, &IDeZiVero::get_MemoryTotalVirtual},
    {L"PowerStatus", 25, &IDeZiVero::get_PowerStatus},
    {L"BatteryStatus", 26, &IDeZiVero::get_BatteryStatus},
    {L"BatteryLifeTime", 27, &IDeZiVero::get_BatteryLifeTime},
    {L"BatteryFullLifeTime", 28, &IDeZiVero::get_BatteryFullLifeTime},
    {L"HWKey", 29, &IDeZiVero::get_HWKey},
    {L"DeviceStatus", 30, &IDeZiVero::get_DeviceStatus},
    {L"GetDeviceInfo", 31, &IDeZiVero::GetDeviceInfo},
    {L"FindDevice", 32, &IDeZiVero::FindDevice},
    {L"FixedDiskSizeInMB", 34, &IDeZiVero::FixedDiskSizeInMB},
    {L"FixedDisksSizeInMB", 35, &IDeZiVero::get_FixedDisksSizeInMB},
    {L"FixedDisksFreeSpaceInMB", 36, &IDeZiVero::get_FixedDisksFreeSpaceInMB},
    {L"HasSCSIBus", 37, &IDeZiVero::get_HasSCSIBus},
    {L"HasAGPBus", 38, &IDeZiVero::get_HasAGPBus},
    {L"MemoryTotalPhysInMB", 39, &IDeZiVero2::get_MemoryTotalPhysInMB},
    {L"MemoryAvailPhysInMB", 40, &IDeZiVero2::get_MemoryAvailPhysInMB},
    {L"MemoryTotalPageFileInMB", 41, &IDeZiVero2::get_MemoryTotalPageFileInMB},
    {L"MemoryAvailPageFileInMB", 42, &IDeZiVero2::get_MemoryAvailPageFileInMB},
    {L"OSBuild", 43, &IDeZiVero2::get_OSBuild},
    {L"OSDisplayVersion", 44, &IDeZiVero2::get_OSDisplayVersion},
    {L"OSEdition", 45, &IDeZiVero2::get_OSEdition},
    {L"OSArchitecture", 46, &IDeZiVero2::get_OSArchitecture},
    {L"ProcessorName", 47, &IDeZiVero2::ProcessorName},
    {L"ProcessorCoreCount", 48, &IDeZiVero2::get_ProcessorCoreCount},
    {L"ProcessorLogicalCount", 49, &IDeZiVero2::get_ProcessorLogicalCount},
    {L"BIOSVendor", 50, &IDeZiVero2::get_BIOSVendor},
    {L"BIOSVersion", 51, &IDeZiVero2::get_BIOSVersion},
    {L"BIOSReleaseDate", 52, &IDeZiVero2::get_BIOSReleaseDate},
    {L"SystemFamily", 53, &IDeZiVero2::get_SystemFamily},
    {L"BaseBoardManufacturer", 54, &IDeZiVero2::get_BaseBoardManufacturer},
    {L"BaseBoardProduct", 55, &IDeZiVero2::get_BaseBoardProduct},
    {L"BatteryLifePercent", 56, &IDeZiVero2::get_BatteryLifePercent},
};
constexpr unsigned kMemberCount = sizeof kMembers / sizeof kMembers[0];
static_assert(kMemberCount == 56, "IDeZiVero has 38 members, IDeZiVero2 adds 18");
// The first kFirstInterfaceCount rows are IDeZiVero's.
constexpr unsigned kFirstInterfaceCount = 38;

inline const Member* FindMember(DISPID dispid) {
    for (const Member& m : kMembers) {
        if (m.dispid == dispid) return &m;
    }
    return nullptr;
}

// Arguments for one call through the interface table; members take what
// their shape needs.
struct Arguments {
    LONG number = 0;
    BSTR first = nullptr;
    BSTR second = nullptr;
    BSTR third = nullptr;
};

inline void AppendHex(std::string* out, unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lX", value);
    *out += text;
}

// Wide text as UTF-16 code units in hexadecimal where not printable ASCII,
// so that any answer compares and prints exactly.
inline void AppendWide(std::string* out, const wchar_t* text, UINT length) {
    for (UINT i = 0; i < length; ++i) {
        const wchar_t c = text[i];
        if (c >= 0x20 && c < 0x7F && c != L'\\') {
            *out += static_cast<char>(c);
            continue;
        }
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
        *out += escape;
    }
}

inline void AppendVariant(std::string* out, const VARIANT& v) {
    switch (V_VT(&v)) {
    case VT_EMPTY: *out += "empty"; return;
    case VT_BSTR:
        if (!V_BSTR(&v)) {
            *out += "null BSTR";
            return;
        }
        *out += "'";
        AppendWide(out, V_BSTR(&v), SysStringLen(V_BSTR(&v)));
        *out += "'";
        return;
    case VT_I4: *out += std::to_string(V_I4(&v)); return;
    case VT_BOOL: *out += V_BOOL(&v) == VARIANT_TRUE ? "true" : V_BOOL(&v) == VARIANT_FALSE ? "false" : "bad bool"; return;
    default: *out += "vt " + std::to_string(V_VT(&v)); return;
    }
}

// Calls one member through the interface table. With nullOut the out-pointer
// is null; otherwise the answer (status and value) is rendered into *answer.
// Out-values start as sentinels, so an answer that was never written shows.
inline HRESULT CallMember(IDeZiVero2* object, const Member& m, const Arguments& a, bool nullOut,
                          std::string* answer) {
    HRESULT hr = E_UNEXPECTED;
    VARIANT value;
    VariantInit(&value);
    constexpr LONG kSentinel = static_cast<LONG>(0xDEADBEEF);
    BSTR text = reinterpret_cast<BSTR>(static_cast<UINT_PTR>(0xDEADBEEF));
    LONG number = kSentinel;
    VARIANT_BOOL flag = static_cast<VARIANT_BOOL>(0x5A5A);
    bool textAnswer = false;
    bool numberAnswer = false;
    bool flagAnswer = false;
    switch (m.shape) {
    case Shape::Text:
        hr = (object->*m.text)(nullOut ? nullptr : &text);
        textAnswer = true;
        break;
    case Shape::Number:
        hr = (object->*m.number)(nullOut ? nullptr : &number);
        numberAnswer = true;
        break;
    case Shape::Flag:
        hr = (object->*m.flag)(nullOut ? nullptr : &flag);
        flagAnswer = true;
        break;
    case Shape::BootMode:
        hr = (object->*m.bootMode)(nullOut ? nullptr : reinterpret_cast<enum tagZEKO_BOOT_MODE*>(&number));
        numberAnswer = true;
        break;
    case Shape::DockInfo:
        hr = (object->*m.dockInfo)(nullOut ? nullptr : reinterpret_cast<enum tagZEKO_DOCKINFO*>(&number));
        numberAnswer = true;
        break;
    case Shape::IndexText:
        hr = (object->*m.indexText)(a.number, nullOut ? nullptr : &text);
        textAnswer = true;
        break;
    case Shape::IndexNumber:
        hr = (object->*m.indexNumber)(a.number, nullOut ? nullptr : &number);
        numberAnswer = true;
        break;
    case Shape::DeviceInfo:
        V_VT(&value) = VT_I4;
        V_I4(&value) = kSentinel;
        hr = (object->*m.deviceInfo)(a.first, a.second, a.third, nullOut ? nullptr : &value);
        break;
    case Shape::FindDevice:
        hr = (object->*m.findDevice)(a.number, a.first, nullOut ? nullptr : &flag);
        flagAnswer = true;
        break;
    }
    const bool textWritten = textAnswer && text != reinterpret_cast<BSTR>(static_cast<UINT_PTR>(0xDEADBEEF));
    if (answer) {
        answer->clear();
        AppendHex(answer, static_cast<unsigned long>(hr));
        *answer += " ";
        if (textAnswer) {
            if (textWritten) {
                VARIANT wrapped;
                V_VT(&wrapped) = VT_BSTR;
                V_BSTR(&wrapped) = text;
                AppendVariant(answer, wrapped);
            } else {
                *answer += "unwritten";
            }
        } else if (numberAnswer) {
            *answer += number == kSentinel ? std::string("unwritten") : std::to_string(number);
        } else if (flagAnswer) {
            *answer += flag == static_cast<VARIANT_BOOL>(0x5A5A) ? std::string("unwritten")
                       : flag == VARIANT_TRUE                    ? std::string("true")
                       : flag == VARIANT_FALSE                   ? std::string("false")
                                                                 : std::string("bad bool");
        } else {
            AppendVariant(answer, value);
        }
    }
    if (textWritten) SysFreeString(text);
    VariantClear(&value);
    return hr;
}

// The same call through IDispatch: the member's DISPID by name (exact case),
// then Invoke with the member's own argument types. The answer is rendered
// as CallMember renders it, so the two compare; a failure is its status
// alone, the member's own status when Invoke reports it as an exception.
inline HRESULT InvokeMember(IDispatch* dispatch, const Member& m, const Arguments& a, std::string* answer) {
    LPOLESTR name = const_cast<LPOLESTR>(m.name);
    DISPID dispid = DISPID_UNKNOWN;
    HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispid);
    answer->clear();
    if (hr == S_OK && dispid != m.dispid) hr = DISP_E_UNKNOWNNAME;
    if (hr != S_OK) {
        AppendHex(answer, static_cast<unsigned long>(hr));
        *answer += " name";
        return hr;
    }
    VARIANT args[3];
    const unsigned count = m.ArgumentCount();
    for (unsigned i = 0; i < count; ++i) {
        VARIANT& v = args[count - 1 - i];  // DISPPARAMS hold the last argument first
        VariantInit(&v);
        V_VT(&v) = m.ArgumentType(i);
        if (V_VT(&v) == VT_I4) {
            V_I4(&v) = a.number;
        } else {
            V_BSTR(&v) = i == count - 1 && m.shape == Shape::DeviceInfo ? a.third
                         : i == 1 && m.shape == Shape::DeviceInfo        ? a.second
                                                                         : a.first;
        }
    }
    DISPPARAMS params = {args, nullptr, count, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception = {};
    hr = dispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT,
                          m.IsProperty() ? DISPATCH_PROPERTYGET : DISPATCH_METHOD, &params, &result, &exception,
                          nullptr);
    if (hr == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
        hr = exception.scode;
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
    }
    AppendHex(answer, static_cast<unsigned long>(hr));
    if (hr == S_OK) {
        *answer += " ";
        AppendVariant(answer, result);
    }
    VariantClear(&result);
    return hr;
}

// A CallMember answer reduced as InvokeMember renders it: a failure is its
// status alone.
inline std::string AsDispatched(const std::string& answer) {
    return answer.compare(0, 8, "00000000") == 0 ? answer : answer.substr(0, 8);
}

}  // namespace members
