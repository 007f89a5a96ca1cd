// Every call is one of these families, chosen at random from a seed:
//   dispid   Invoke of a member by DISPID with the flags that fit it
//   name     GetIDsOfNames (exact, other case, unknown, with parameter names),
//            then Invoke with what it answered, named arguments included
//   flags    Invoke with flags that do not fit the member
//   count    Invoke with arguments missing or in excess
//   unknown  Invoke of DISPIDs the interface does not have, among them the
//            inherited IUnknown and IDispatch entries of the type information
//   params   Invoke with null DISPPARAMS, null arrays, null result, exception
//            and argument-error pointers
//   vtable   a member called through the interface table, with raw strings,
//            numbers and null pointers
// Flags that write, unknown DISPIDs and wrong argument counts never succeed.
#include "tests/fuzz/dispatch_fuzz_calls.h"

#include <objsafe.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "tests/fuzz/dispatch_fuzz_checks.h"

namespace dispatch_fuzz {

using members::kMemberCount;
using members::kMembers;
using members::Member;
using members::Shape;

struct InvokeShape {
    DISPID dispid = 0;
    WORD flags = DISPATCH_METHOD;
    unsigned argCount = 0;
    int args[kMaxArgs] = {};
    unsigned namedCount = 0;
    DISPID named[kMaxArgs] = {};
    bool nullParams = false;
    bool nullArgArray = false;
    bool nullResult = false;
    bool nullException = false;
    bool nullArgError = false;
    const Member* member = nullptr;  // null for unknown DISPIDs
    bool mustFail = false;
};

void Fuzzer::Invoke(const InvokeShape& s) {
    VARIANT args[kMaxArgs];
    for (VARIANT& v : args) VariantInit(&v);  // named counts may reach past argCount
    for (unsigned i = 0; i < s.argCount; ++i) args[s.argCount - 1 - i] = pools_.entries[s.args[i]].value;
    VARIANT before[kMaxArgs];
    std::memcpy(before, args, sizeof args);
    DISPPARAMS params = {s.nullArgArray ? nullptr : args, s.namedCount ? const_cast<DISPID*>(s.named) : nullptr,
                         s.argCount, s.namedCount};
    VARIANT result;
    VariantInit(&result);
    V_VT(&result) = VT_I4;
    V_I4(&result) = 0x5A5A5A5A;
    const VARTYPE untouched = V_VT(&result);
    EXCEPINFO exception = {};
    UINT argError = 0xDEADBEEF;
    const HRESULT hr = dispatch->Invoke(s.dispid, IID_NULL, LOCALE_USER_DEFAULT, s.flags,
                                        s.nullParams ? nullptr : &params, s.nullResult ? nullptr : &result,
                                        s.nullException ? nullptr : &exception,
                                        s.nullArgError ? nullptr : &argError);
    HRESULT scode = 0;
    if (hr == DISP_E_EXCEPTION && !s.nullException) {
        if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
        scode = exception.scode ? exception.scode : static_cast<HRESULT>(exception.wCode);
    }
    Tally(hr, scode);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);

    if (std::memcmp(before, args, sizeof args) != 0) {
        Fail("Invoke changed an argument it was handed");
    } else if (!ByRefTargetsIntact()) {
        Fail("Invoke wrote through a BYREF argument");
    } else if (hr == S_OK && s.mustFail) {
        Fail("a call that cannot reach a member succeeded");
    } else if (hr == DISP_E_EXCEPTION && !s.nullException && s.member && !MayFail(*s.member, scode)) {
        Fail("member failure " + StatusText(scode) + " is not one the member gives");
    } else if (hr == S_OK && s.member && !s.nullResult) {
        if (V_VT(&result) == untouched && V_I4(&result) == 0x5A5A5A5A) {
            Fail("Invoke succeeded without writing the result");
        } else {
            CheckAnswer(*s.member, result, "Invoke");
        }
    } else {
        ++g_passed;
    }
    // Without a result variant the answer is unknown; only the key's length can be checked.
    if (s.member && s.member->shape == Shape::FindDevice && (hr == S_OK || hr == DISP_E_EXCEPTION)) {
        if (hr == S_OK && s.nullResult) {
            Check(HWKeyOf(object).size() < 1040, "HWKey after FindDevice is too long");
        } else {
            CheckFindState(object, hr == S_OK && V_VT(&result) == VT_BOOL && V_BOOL(&result) == VARIANT_TRUE);
        }
    }
    if (!s.nullResult) VariantClear(&result);
}

// Arguments of the member's own types, mostly; sometimes of any type.
void Fuzzer::FillArguments(InvokeShape& s, const Member& m, unsigned count) {
    s.argCount = count;
    for (unsigned i = 0; i < count; ++i) {
        const VARTYPE type = i < m.ArgumentCount() ? m.ArgumentType(i) : VARTYPE(VT_EMPTY);
        s.args[i] = pools_.Pick(random_, type);
    }
}

const Member& Fuzzer::AnyMember() { return kMembers[random_.Below(kMemberCount)]; }

WORD Fuzzer::FittingFlags(const Member& m) {
    if (m.IsProperty()) return random_.Percent(50) ? DISPATCH_PROPERTYGET : DISPATCH_PROPERTYGET | DISPATCH_METHOD;
    return random_.Percent(60) ? DISPATCH_METHOD : DISPATCH_PROPERTYGET | DISPATCH_METHOD;
}

void Fuzzer::Record(Family family, const InvokeShape& s, const wchar_t* name) {
    g_call.family = family;
    g_call.dispid = s.dispid;
    g_call.flags = s.flags;
    g_call.argCount = s.argCount;
    std::memcpy(g_call.args, s.args, sizeof g_call.args);
    g_call.namedCount = s.namedCount;
    g_call.name = name;
    std::snprintf(g_call.nulls, sizeof g_call.nulls, "%s%s%s%s%s", s.nullParams ? " params" : "",
                  s.nullArgArray ? " rgvarg" : "", s.nullResult ? " result" : "",
                  s.nullException ? " excepinfo" : "", s.nullArgError ? " argerr" : "");
    ++g_familyCalls[family];
}

void Fuzzer::ByDispid() {
    const Member& m = AnyMember();
    InvokeShape s;
    s.member = &m;
    s.dispid = m.dispid;
    s.flags = FittingFlags(m);
    FillArguments(s, m, m.ArgumentCount());
    Record(kDispid, s, nullptr);
    Invoke(s);
}

void Fuzzer::WrongFlags() {
    const Member& m = AnyMember();
    InvokeShape s;
    s.member = &m;
    s.dispid = m.dispid;
    const WORD writes[] = {DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF,
                           DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF};
    const unsigned choice = random_.Below(5);
    if (choice < 3) {
        // Every member is read-only: no write may succeed.
        s.flags = writes[choice];
        s.mustFail = true;
        FillArguments(s, m, m.ArgumentCount() + 1);
        if (random_.Percent(70)) {
            s.namedCount = 1;
            s.named[0] = DISPID_PROPERTYPUT;
        }
    } else if (choice == 3) {
        // A property called as a method, a method read as a property.
        s.flags = m.IsProperty() ? DISPATCH_METHOD : DISPATCH_PROPERTYGET;
        FillArguments(s, m, m.ArgumentCount());
    } else {
        const WORD odd[] = {0, 0xFFFF, 0x10, 0x8000};
        s.flags = odd[random_.Below(4)];
        FillArguments(s, m, m.ArgumentCount());
    }
    Record(kFlags, s, nullptr);
    Invoke(s);
}

void Fuzzer::WrongCount() {
    const Member& m = AnyMember();
    InvokeShape s;
    s.member = &m;
    s.dispid = m.dispid;
    s.flags = FittingFlags(m);
    const unsigned wanted = m.ArgumentCount();
    unsigned count = wanted;
    if (wanted > 0 && random_.Percent(50)) {
        count = random_.Below(wanted);  // missing arguments
    } else {
        count += 1 + random_.Below(kMaxArgs - wanted);  // too many
    }
    FillArguments(s, m, count);
    // One argument more than the member takes stands where the result
    // would, as a reference that dispatch may fill; it gets no reference.
    s.mustFail = count != wanted + 1;
    if (count == wanted + 1) {
        while (pools_.IsByRef(s.args[count - 1])) s.args[count - 1] = pools_.Pick(random_, VT_EMPTY);
    }
    Record(kCount, s, nullptr);
    Invoke(s);
}

void Fuzzer::UnknownDispid() {
    const DISPID unknown[] = {0,          -1,         -2,         -3,         -4,         -5,
                              57,         58,         100,        0x7FFFFFFF, INT32_MIN,  0x60000000,
                              0x60000001, 0x60000002, 0x60010000, 0x60010001, 0x60010002, 0x60010003};
    InvokeShape s;
    s.dispid = unknown[random_.Below(sizeof unknown / sizeof unknown[0])];
    s.flags = static_cast<WORD>(random_.Percent(50) ? DISPATCH_METHOD : DISPATCH_PROPERTYGET | DISPATCH_METHOD);
    s.argCount = random_.Below(4);
    for (unsigned i = 0; i < s.argCount; ++i) s.args[i] = pools_.Pick(random_, VT_EMPTY);
    s.mustFail = true;
    Record(kUnknown, s, nullptr);
    Invoke(s);
}

// Null or inconsistent DISPPARAMS fields and null out-pointers. Counts
// that name absent arrays (arguments or names) are left out: the
// system's own dispatch reads those arrays without looking, before any
// object is reached, so no object could guard against them.
void Fuzzer::OddParams() {
    const Member& m = AnyMember();
    InvokeShape s;
    s.member = &m;
    s.dispid = m.dispid;
    s.flags = FittingFlags(m);
    FillArguments(s, m, m.ArgumentCount());
    switch (random_.Below(7)) {
    case 0:
        s.nullParams = true;
        s.mustFail = true;
        break;
    case 1:
        s.nullArgArray = true;
        s.argCount = 0;
        s.mustFail = m.ArgumentCount() > 0;
        break;
    case 2: {
        // Named arguments: more names than arguments, duplicates, unknown ids.
        const DISPID ids[] = {0, 1, 2, 3, -1, DISPID_PROPERTYPUT, 0x7FFFFFFF};
        s.namedCount = 1 + random_.Below(s.argCount + 2 < kMaxArgs ? s.argCount + 2 : kMaxArgs);
        for (unsigned i = 0; i < s.namedCount; ++i) s.named[i] = ids[random_.Below(7)];
        if (s.namedCount > s.argCount) s.mustFail = true;
        break;
    }
    default:
        s.nullResult = random_.Percent(60);
        s.nullException = random_.Percent(60);
        s.nullArgError = random_.Percent(60);
        break;
    }
    Record(kParams, s, nullptr);
    Invoke(s);
}

// Names as scripts write them, and names no script should.
void Fuzzer::ByName() {
    const Member& m = AnyMember();
    std::wstring spelled = m.name;
    const unsigned how = random_.Below(10);
    BSTR garbage = nullptr;
    LPOLESTR names[3] = {};
    UINT count = 1;
    if (how == 1) {
        for (wchar_t& c : spelled) c = static_cast<wchar_t>(towlower(c));
    } else if (how == 2) {
        for (wchar_t& c : spelled) c = static_cast<wchar_t>(towupper(c));
    } else if (how == 3) {
        spelled += L"X";
    }
    names[0] = const_cast<LPOLESTR>(spelled.c_str());
    if (how == 4) {
        garbage = pools_.Text(pools_.texts[random_.Below(pools_.texts.size())]);
        names[0] = garbage ? garbage : const_cast<LPOLESTR>(L"");
    } else if (how == 5 && m.ArgumentCount() > 0) {
        // The member and the name of one of its parameters, or a wrong one.
        static const wchar_t* const parameters[] = {L"lProcessor",   L"lDiskNumber",   L"lDeviceNumber",
                                                    L"bstrDeviceClass", L"bstrHWKey", L"bstrSubkey",
                                                    L"bstrAskFor",   L"pvValue",      L"NoSuchParameter"};
        names[1] = const_cast<LPOLESTR>(parameters[random_.Below(9)]);
        count = 2;
    } else if (how == 6) {
        count = 0;
    }
    DISPID ids[3] = {static_cast<DISPID>(0xDEADBEEF), static_cast<DISPID>(0xDEADBEEF),
                     static_cast<DISPID>(0xDEADBEEF)};
    g_call.family = kName;
    g_call.dispid = 0;
    g_call.argCount = 0;
    g_call.namedCount = count;
    g_call.name = names[0];
    g_call.nulls[0] = '\0';
    ++g_familyCalls[kName];
    const HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, names, count, LOCALE_USER_DEFAULT, ids);
    Tally(hr, 0);
    if (count == 0 || hr != S_OK) {
        Check(how != 0 && how != 1 && how != 2, "a member's own name was not resolved");
        return;
    }
    const Member* named = members::FindMember(ids[0]);
    if (how <= 2) {
        Check(named == &m, "a member's name resolved to another DISPID");
    } else if (how == 3) {
        Check(named == nullptr, "a name with an extra letter resolved to a member");
    } else if (!named) {
        ++g_passed;  // a garbage name may name an inherited entry; unknown DISPIDs are fuzzed elsewhere
        return;
    }
    if (!named) return;
    InvokeShape s;
    s.member = named;
    s.dispid = ids[0];
    s.flags = FittingFlags(*named);
    FillArguments(s, *named, named->ArgumentCount());
    if (count == 2 && s.argCount > 0) {
        s.namedCount = 1;
        s.named[0] = ids[1];
    }
    Record(kName, s, names[0]);
    Invoke(s);
}

void Fuzzer::Vtable() {
    const Member& m = AnyMember();
    InvokeShape s;
    s.dispid = m.dispid;
    s.argCount = 4;
    s.args[0] = pools_.numbers[random_.Below(pools_.numbers.size())];
    for (unsigned i = 1; i < 4; ++i) s.args[i] = pools_.texts[random_.Below(pools_.texts.size())];
    const bool nullOut = random_.Percent(10);
    s.flags = nullOut;  // in a fault report, flags 1 means a null out-pointer
    Record(kVtable, s, m.name);
    members::Arguments a;
    a.number = pools_.Number(s.args[0]);
    a.first = pools_.Text(s.args[1]);
    a.second = pools_.Text(s.args[2]);
    a.third = pools_.Text(s.args[3]);
    std::string answer;
    const HRESULT hr = members::CallMember(object, m, a, nullOut, &answer);
    Tally(hr, 0);
    const bool refused = nullOut || (m.shape == Shape::DeviceInfo && (!a.first || !a.second || !a.third)) ||
                         (m.shape == Shape::FindDevice && (!a.first || a.number < 0));
    char what[200];
    std::snprintf(what, sizeof what, "interface table: %ls answered %s", m.name, answer.c_str());
    if (refused) {
        Check(hr == E_POINTER, what);
    } else if (hr != S_OK) {
        Check(MayFail(m, hr), what);
    } else if (IsSteady(m)) {
        Check(answer == SteadyAnswer(m), what);
    } else {
        ++g_passed;
    }
    if (m.shape == Shape::FindDevice) {
        CheckFindState(object, hr == S_OK && answer.compare(answer.size() - 4, 4, "true") == 0);
    }
}

// IObjectSafety with any interface, mask and options, as a page's host could
// call it: the answers follow the rules whatever the arguments, and the
// options the object keeps decide what its firmware members answer.
void Fuzzer::Safety() {
    static const IID* const kIids[] = {&IID_IDeZiVero2, &IID_IDeZiVero, &IID_IDispatch, &IID_IUnknown,
                                       &IID_IObjectSafety, &IID_IClassFactory, &IID_NULL};
    static const DWORD kOptions[] = {0, 1, 2, 3, 4, 5, 0x80000000, 0xFFFFFFFF};
    const IID& iid = *kIids[random_.Below(sizeof kIids / sizeof kIids[0])];
    const DWORD mask = kOptions[random_.Below(sizeof kOptions / sizeof kOptions[0])];
    const DWORD enabled = kOptions[random_.Below(sizeof kOptions / sizeof kOptions[0])];
    InvokeShape s;
    s.flags = static_cast<WORD>(mask);
    Record(kSafety, s, L"SetInterfaceSafetyOptions");
    IObjectSafety* safety = nullptr;
    object->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety));
    Check(safety != nullptr, "the object answers IObjectSafety");
    if (!safety) return;
    const bool answered = &iid != &IID_IClassFactory && &iid != &IID_NULL;
    DWORD before = 0xDEADBEEF, supported = 0xDEADBEEF;
    safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &before);
    const HRESULT hr = safety->SetInterfaceSafetyOptions(iid, mask, enabled);
    Tally(hr, 0);
    const HRESULT expected = !answered ? E_NOINTERFACE : (mask & ~3u) ? E_FAIL : S_OK;
    char what[160];
    std::snprintf(what, sizeof what, "SetInterfaceSafetyOptions(mask %lX, enabled %lX) answered %08lX",
                  mask, enabled, static_cast<unsigned long>(hr));
    Check(hr == expected, what);
    DWORD after = 0xDEADBEEF;
    safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &after);
    const DWORD want = expected == S_OK ? (before & ~mask) | (enabled & mask) : before;
    Check(supported == 3 && after == want, "GetInterfaceSafetyOptions after a Set");
    g_untrustedCaller = (after & INTERFACESAFE_FOR_UNTRUSTED_CALLER) != 0;
    safety->Release();
}

void Fuzzer::One() {
    const unsigned roll = random_.Below(100);
    if (roll < 2) return Safety();
    if (roll < 35) return ByDispid();
    if (roll < 55) return ByName();
    if (roll < 65) return WrongFlags();
    if (roll < 75) return WrongCount();
    if (roll < 80) return UnknownDispid();
    if (roll < 90) return OddParams();
    return Vtable();
}

}  // namespace dispatch_fuzz
