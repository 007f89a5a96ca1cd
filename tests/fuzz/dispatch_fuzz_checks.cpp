// Checks on every call: the arguments handed in are unchanged afterwards; a
// successful answer has the member's type and, for members that do not
// depend on the machine's moving state, the same value as the first answer;
// a failure is one that member may give; FindDevice and HWKey agree.
#include "tests/fuzz/dispatch_fuzz_checks.h"

#include <objsafe.h>
#include <oleauto.h>

#include <cstdio>
#include <limits>

#include "tests/fuzz/dispatch_fuzz_report.h"

namespace dispatch_fuzz {

using members::kMembers;
using members::Member;
using members::Shape;

std::wstring HWKeyOf(IDeZiVero* object) {
    BSTR key = nullptr;
    std::wstring text = L"<failed>";
    if (SUCCEEDED(object->get_HWKey(&key))) text.assign(key ? key : L"", key ? SysStringLen(key) : 0);
    SysFreeString(key);
    return text;
}

bool IsSteady(const Member& m) {
    if (m.ArgumentCount() != 0) return false;
    switch (m.dispid) {
    case 29:  // HWKey: the last FindDevice
    case 30:  // DeviceStatus: the last FindDevice
    case 36:  // free space moves with the host's disk
    case 40:  // available memory and page file move with the host's load
    case 42:
    case 56:  // the battery's charge
        return false;
    default:
        return true;
    }
}

std::string g_steady[64];  // by DISPID
bool g_untrustedCaller = false;

std::string SteadyAnswer(const Member& m) {
    const bool withheld = m.dispid == 51 || m.dispid == 52 || m.dispid == 54 || m.dispid == 55;
    return withheld && g_untrustedCaller ? std::string("00000000 ''") : g_steady[m.dispid];
}

namespace {

std::string Rendered(HRESULT hr, const VARIANT& v) {
    std::string text;
    members::AppendHex(&text, static_cast<unsigned long>(hr));
    text += " ";
    members::AppendVariant(&text, v);
    return text;
}

}  // namespace

bool MayFail(const Member& m, HRESULT scode) {
    switch (scode) {
    case E_NOTIMPL: return m.dispid == 4 || m.dispid == 6;
    case E_FAIL: return m.dispid == 34;
    case E_POINTER: return m.shape == Shape::DeviceInfo || m.shape == Shape::FindDevice;
    default: return false;
    }
}

void CheckAnswer(const Member& m, const VARIANT& result, const char* how) {
    char what[160];
    VARTYPE want = VT_I4;
    switch (m.shape) {
    case Shape::Text:
    case Shape::IndexText: want = VT_BSTR; break;
    case Shape::Flag:
    case Shape::FindDevice: want = VT_BOOL; break;
    case Shape::DeviceInfo: want = V_VT(&result) == VT_EMPTY || V_VT(&result) == VT_BSTR ? V_VT(&result) : VARTYPE(VT_I4); break;
    default: break;
    }
    std::snprintf(what, sizeof what, "%s: %ls answered type %u", how, m.name, V_VT(&result));
    if (V_VT(&result) != want) {
        Fail(what);
        return;
    }
    if (want == VT_BOOL && V_BOOL(&result) != VARIANT_TRUE && V_BOOL(&result) != VARIANT_FALSE) {
        std::snprintf(what, sizeof what, "%s: %ls answered truth value %d", how, m.name, V_BOOL(&result));
        Fail(what);
        return;
    }
    if (want == VT_BSTR && V_BSTR(&result) && SysStringLen(V_BSTR(&result)) >= 1040) {
        std::snprintf(what, sizeof what, "%s: %ls answered %u characters", how, m.name,
                      SysStringLen(V_BSTR(&result)));
        Fail(what);
        return;
    }
    if (IsSteady(m)) {
        const std::string now = Rendered(S_OK, result);
        if (now != SteadyAnswer(m)) {
            std::snprintf(what, sizeof what, "%s: %ls changed its answer", how, m.name);
            Fail(what);
            std::printf("  expected %s\n  now      %s\n", SteadyAnswer(m).c_str(), now.c_str());
            return;
        }
    }
    ++g_passed;
}

void CheckFindState(IDeZiVero* object, bool found) {
    const std::wstring key = HWKeyOf(object);
    if (found) {
        Check(!key.empty() && key.size() < 1040, "FindDevice found a device but HWKey is empty or too long");
    } else {
        Check(key.empty(), "FindDevice found nothing but HWKey is not empty");
    }
}

void NullPointerChecks(IDispatch* dispatch, IDeZiVero2* object) {
    char what[160];
    members::Arguments a;
    a.first = SysAllocString(L"Modem");
    a.second = SysAllocString(L"");
    a.third = SysAllocString(L"DeviceDesc");
    for (const Member& m : kMembers) {
        std::snprintf(what, sizeof what, "%ls with a null out-pointer gives E_POINTER", m.name);
        ++g_calls;
        Check(members::CallMember(object, m, a, true, nullptr) == E_POINTER, what);
    }
    const Member* info = members::FindMember(31);
    const Member* find = members::FindMember(32);
    const struct {
        const char* what;
        const Member* member;
        LONG number;
        bool nullFirst, nullSecond, nullThird;
    } rows[] = {
        {"GetDeviceInfo with a null key", info, 0, true, false, false},
        {"GetDeviceInfo with a null subkey", info, 0, false, true, false},
        {"GetDeviceInfo with a null value name", info, 0, false, false, true},
        {"FindDevice with a null class", find, 0, true, false, false},
        {"FindDevice with device number -1", find, -1, false, false, false},
        {"FindDevice with device number INT_MIN", find, std::numeric_limits<LONG>::min(), false, false, false},
    };
    for (const auto& row : rows) {
        members::Arguments b = a;
        b.number = row.number;
        if (row.nullFirst) b.first = nullptr;
        if (row.nullSecond) b.second = nullptr;
        if (row.nullThird) b.third = nullptr;
        std::string answer;
        ++g_calls;
        const HRESULT hr = members::CallMember(object, *row.member, b, false, &answer);
        std::snprintf(what, sizeof what, "%s gives E_POINTER and writes nothing (%s)", row.what, answer.c_str());
        // The sentinel out-value shows as "unwritten"; GetDeviceInfo's preset VT_I4 as -559038737.
        Check(hr == E_POINTER && (answer.find("unwritten") != std::string::npos ||
                                  answer.find("-559038737") != std::string::npos),
              what);
    }
    SysFreeString(a.first);
    SysFreeString(a.second);
    SysFreeString(a.third);

    g_calls += 6;
    Check(dispatch->GetTypeInfoCount(nullptr) == E_POINTER, "GetTypeInfoCount with a null pointer");
    Check(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, nullptr) == E_POINTER, "GetTypeInfo with a null pointer");
    DISPID id = 0;
    Check(dispatch->GetIDsOfNames(IID_NULL, nullptr, 1, LOCALE_USER_DEFAULT, &id) == E_POINTER,
          "GetIDsOfNames with a null name array");
    LPOLESTR name = const_cast<LPOLESTR>(L"OSName");
    Check(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, nullptr) == E_POINTER,
          "GetIDsOfNames with a null DISPID array");
    LPOLESTR none = nullptr;
    Check(dispatch->GetIDsOfNames(IID_NULL, &none, 1, LOCALE_USER_DEFAULT, &id) == E_POINTER,
          "GetIDsOfNames with a null name");
    Check(dispatch->QueryInterface(IID_IUnknown, nullptr) == E_POINTER, "QueryInterface with a null pointer");
    IObjectSafety* safety = nullptr;
    dispatch->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety));
    if (safety) {
        DWORD value = 0xDEADBEEF;
        g_calls += 2;
        Check(safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, &value) == E_POINTER && value == 0xDEADBEEF,
              "GetInterfaceSafetyOptions with a null pointer");
        Check(safety->GetInterfaceSafetyOptions(IID_IDispatch, &value, nullptr) == E_POINTER && value == 0xDEADBEEF,
              "GetInterfaceSafetyOptions with the other pointer null");
        safety->Release();
    }
}

}  // namespace dispatch_fuzz
