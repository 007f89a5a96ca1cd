// Dispatch fuzzer: drives the registered DeZIVero.DLL the way a hostile page
// or script host could, through IDispatch and through the interface table,
// with the argument values that ActiveX fuzzers use, and checks that the
// library neither faults nor answers out of shape.
//
// The object is created through the registry (ProgID, versioned ProgID or
// CLSID). Every call is one of these families, chosen at random from a seed:
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
// Arguments come from pools built once: strings of the lengths around the
// library's fixed buffers (up to 1,000,000 characters), embedded NULs,
// non-ASCII text, lone surrogates, device classes and key paths, integers
// around every power of two, and variants of the wrong type (R8, null
// DISPATCH, arrays, BYREF, missing-argument errors, records).
//
// Checks on every call: the arguments handed in are unchanged afterwards; a
// successful answer has the member's type and, for members that do not
// depend on the machine's moving state, the same value as the first answer;
// a failure is one that member may give; FindDevice and HWKey agree; flags
// that write, unknown DISPIDs and wrong argument counts never succeed. Every
// 1,000 calls all heaps of the process are validated.
//
// A fault is caught twice over: a vectored handler reports any exception
// raised inside the library even when a caller further up would swallow it,
// and the unhandled-exception filter reports any other crash; both print the
// call in progress and end the process with exit code 3.
//
// Usage: dispatch_fuzz.exe [--calls N] [--seed S] [--crash-probe K]
// --crash-probe writes through a null pointer at call K, to show that a crash
// is caught and reported. Prints a histogram of the statuses returned and a
// last line "dispatch_fuzz: N passed, N failed".
#include <windows.h>
#include <ole2.h>
#include <objsafe.h>
#include <oleauto.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "DeZIVero_h.h"
#include "tests/tools/dezivero_members.h"

namespace {

using members::kMemberCount;
using members::kMembers;
using members::Member;
using members::Shape;

// ---- Random numbers (SplitMix64: small, fast, reproducible from the seed) ----------------

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    unsigned Below(unsigned n) { return n ? static_cast<unsigned>(Next() % n) : 0; }
    bool Percent(unsigned p) { return Below(100) < p; }

private:
    uint64_t state_;
};

// ---- The call in progress, for fault reports ---------------------------------------------

enum Family { kDispid, kName, kFlags, kCount, kUnknown, kParams, kVtable, kFamilyCount };
const char* const kFamilyNames[kFamilyCount] = {"dispid", "name", "flags", "count", "unknown", "params", "vtable"};

constexpr unsigned kMaxArgs = 8;

struct CallRecord {
    unsigned long number;
    Family family;
    DISPID dispid;
    WORD flags;
    unsigned argCount;
    int args[kMaxArgs];  // pool indices, first argument first
    unsigned namedCount;
    const wchar_t* name;
    char nulls[64];  // which DISPPARAMS fields and out-pointers were null
};

CallRecord g_call;
std::vector<std::string>* g_labels = nullptr;  // pool labels by index
BYTE* g_libraryStart = nullptr;
BYTE* g_libraryEnd = nullptr;

void PrintCall(const char* prefix) {
    std::printf("%s call #%lu family %s dispid %ld flags 0x%X args %u named %u", prefix, g_call.number,
                kFamilyNames[g_call.family], static_cast<long>(g_call.dispid), g_call.flags, g_call.argCount,
                g_call.namedCount);
    if (g_call.name) std::printf(" name '%ls'", g_call.name);
    if (g_call.nulls[0]) std::printf(" null:%s", g_call.nulls);
    for (unsigned i = 0; i < g_call.argCount && i < kMaxArgs; ++i) {
        const int id = g_call.args[i];
        const char* label = (g_labels && id >= 0 && static_cast<size_t>(id) < g_labels->size())
                                ? (*g_labels)[id].c_str()
                                : "?";
        std::printf(" [%s]", label);
    }
    std::printf("\n");
}

void DescribeAddress(const void* address, char* text, size_t size) {
    HMODULE module = nullptr;
    char path[MAX_PATH] = "unknown module";
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCSTR>(address), &module) &&
        module) {
        GetModuleFileNameA(module, path, MAX_PATH);
    }
    const char* base = std::strrchr(path, '\\');
    std::snprintf(text, size, "%s+0x%lX", base ? base + 1 : path,
                  static_cast<unsigned long>(static_cast<const BYTE*>(address) -
                                             reinterpret_cast<const BYTE*>(module)));
}

bool IsFault(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_IN_PAGE_ERROR:
    case STATUS_HEAP_CORRUPTION:
    case STATUS_STACK_BUFFER_OVERRUN:
        return true;
    default:
        return false;
    }
}

void ReportAndExit(const char* kind, EXCEPTION_POINTERS* pointers) {
    char where[MAX_PATH + 32];
    DescribeAddress(pointers->ExceptionRecord->ExceptionAddress, where, sizeof where);
    std::printf("CRASH (%s): exception 0x%08lX at %s\n", kind,
                static_cast<unsigned long>(pointers->ExceptionRecord->ExceptionCode), where);
    PrintCall("CRASH during");
    std::printf("dispatch_fuzz: 0 passed, 1 failed\n");
    std::fflush(stdout);
    ExitProcess(3);
}

bool InAnyModule(const void* address) {
    HMODULE module = nullptr;
    return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCSTR>(address), &module) &&
           module;
}

// Sees faults inside the library before any handler could swallow them, and
// jumps to addresses outside every module (a return through an overwritten
// stack), after which the handler chain on that stack cannot be trusted.
LONG WINAPI LibraryFaultHandler(EXCEPTION_POINTERS* pointers) {
    const BYTE* at = static_cast<const BYTE*>(pointers->ExceptionRecord->ExceptionAddress);
    if (!IsFault(pointers->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
    if (at >= g_libraryStart && at < g_libraryEnd) ReportAndExit("inside the library", pointers);
    if (!InAnyModule(at)) ReportAndExit("outside every module", pointers);
    return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI UnhandledFilter(EXCEPTION_POINTERS* pointers) {
    ReportAndExit("unhandled", pointers);
    return EXCEPTION_EXECUTE_HANDLER;
}

// ---- Status histogram --------------------------------------------------------------------

struct StatusName {
    HRESULT hr;
    const char* name;
};

const StatusName kStatusNames[] = {
    {S_OK, "S_OK"},
    {S_FALSE, "S_FALSE"},
    {E_POINTER, "E_POINTER"},
    {E_NOTIMPL, "E_NOTIMPL"},
    {E_FAIL, "E_FAIL"},
    {E_INVALIDARG, "E_INVALIDARG"},
    {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
    {E_NOINTERFACE, "E_NOINTERFACE"},
    {E_UNEXPECTED, "E_UNEXPECTED"},
    {DISP_E_UNKNOWNINTERFACE, "DISP_E_UNKNOWNINTERFACE"},
    {DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND"},
    {DISP_E_PARAMNOTFOUND, "DISP_E_PARAMNOTFOUND"},
    {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH"},
    {DISP_E_UNKNOWNNAME, "DISP_E_UNKNOWNNAME"},
    {DISP_E_NONAMEDARGS, "DISP_E_NONAMEDARGS"},
    {DISP_E_BADVARTYPE, "DISP_E_BADVARTYPE"},
    {DISP_E_EXCEPTION, "DISP_E_EXCEPTION"},
    {DISP_E_OVERFLOW, "DISP_E_OVERFLOW"},
    {DISP_E_BADINDEX, "DISP_E_BADINDEX"},
    {DISP_E_UNKNOWNLCID, "DISP_E_UNKNOWNLCID"},
    {DISP_E_ARRAYISLOCKED, "DISP_E_ARRAYISLOCKED"},
    {DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT"},
    {DISP_E_PARAMNOTOPTIONAL, "DISP_E_PARAMNOTOPTIONAL"},
    {DISP_E_BADCALLEE, "DISP_E_BADCALLEE"},
    {DISP_E_NOTACOLLECTION, "DISP_E_NOTACOLLECTION"},
    {TYPE_E_LIBNOTREGISTERED, "TYPE_E_LIBNOTREGISTERED"},
    {TYPE_E_ELEMENTNOTFOUND, "TYPE_E_ELEMENTNOTFOUND"},
};

std::string StatusText(HRESULT hr) {
    for (const StatusName& s : kStatusNames) {
        if (s.hr == hr) return s.name;
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// Keyed by (status, exception scode): a member's own failure comes back
// from Invoke as DISP_E_EXCEPTION with the member's status as scode.
std::map<std::pair<ULONG, ULONG>, unsigned long> g_histogram;
unsigned long g_calls = 0;
unsigned long g_passed = 0;
unsigned long g_failed = 0;
unsigned long g_reported = 0;
unsigned long g_familyCalls[kFamilyCount] = {};

void Tally(HRESULT hr, HRESULT scode) {
    ++g_calls;
    ++g_histogram[{static_cast<ULONG>(hr), static_cast<ULONG>(scode)}];
}

void Fail(const std::string& what) {
    ++g_failed;
    if (g_reported++ >= 40) return;
    std::printf("FAILED: %s\n", what.c_str());
    PrintCall("  in");
}

void Check(bool ok, const char* what) {
    if (ok) {
        ++g_passed;
        return;
    }
    Fail(what);
}

// ---- Argument pools ----------------------------------------------------------------------

enum PoolKind { kText, kNumber, kOdd };

struct PoolEntry {
    PoolKind kind;
    VARIANT value;
};

class Pools {
public:
    std::vector<PoolEntry> entries;
    std::vector<std::string> labels;
    std::vector<int> texts, numbers, odds;

    int Add(PoolKind kind, const std::string& label, const VARIANT& v) {
        entries.push_back({kind, v});
        labels.push_back(label);
        const int id = static_cast<int>(entries.size() - 1);
        (kind == kText ? texts : kind == kNumber ? numbers : odds).push_back(id);
        return id;
    }

    void AddText(const std::string& label, BSTR text) {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = text;
        Add(kText, label, v);
    }

    void AddNumber(LONG n) {
        for (int id : numbers) {
            if (V_I4(&entries[id].value) == n) return;
        }
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_I4;
        V_I4(&v) = n;
        Add(kNumber, "I4 " + std::to_string(n), v);
    }

    void AddOdd(const std::string& label, const VARIANT& v) { Add(kOdd, label, v); }

    BSTR Text(int id) const { return V_BSTR(&entries[id].value); }
    LONG Number(int id) const { return V_I4(&entries[id].value); }
    bool IsByRef(int id) const { return (V_VT(&entries[id].value) & VT_BYREF) != 0; }

    int Pick(Random& random, VARTYPE wanted) {
        const unsigned roll = random.Below(100);
        if (wanted == VT_BSTR) {
            if (roll < 70) return texts[random.Below(texts.size())];
            if (roll < 80) return numbers[random.Below(numbers.size())];
        } else if (wanted == VT_I4) {
            if (roll < 70) return numbers[random.Below(numbers.size())];
            if (roll < 80) return texts[random.Below(texts.size())];
        }
        return odds[random.Below(odds.size())];
    }
};

BSTR Repeat(const wchar_t* unit, size_t length) {
    const size_t unitLength = std::wcslen(unit);
    BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    for (size_t i = 0; i < length; ++i) text[i] = unit[i % unitLength];
    return text;
}

BSTR Exact(const wchar_t* text, UINT length) { return SysAllocStringLen(text, length); }

BSTR Zeros(UINT length) {
    BSTR text = SysAllocStringLen(nullptr, length);
    std::memset(text, 0, length * sizeof(wchar_t));
    return text;
}

BSTR Concat(const std::wstring& head, const std::wstring& tail) {
    const std::wstring whole = head + tail;
    return SysAllocStringLen(whole.data(), static_cast<UINT>(whole.size()));
}

// Storage that BYREF variants point into; it lives as long as the pools.
struct ByRefTargets {
    BSTR text = nullptr;
    BSTR longText = nullptr;
    BSTR nullText = nullptr;
    LONG number = 1;
    LONG minimum = std::numeric_limits<LONG>::min();
    double real = 1e300;
    VARIANT inner;
    VARIANT innerRef;
};

ByRefTargets g_targets;

SAFEARRAY* NewArray(VARTYPE type, LONG count) {
    SAFEARRAY* array = SafeArrayCreateVector(type, 0, static_cast<ULONG>(count));
    for (LONG i = 0; i < count; ++i) {
        if (type == VT_BSTR) {
            BSTR item = SysAllocString(L"Modem");
            SafeArrayPutElement(array, &i, item);
            SysFreeString(item);
        } else if (type == VT_I4) {
            LONG item = i;
            SafeArrayPutElement(array, &i, &item);
        } else if (type == VT_VARIANT) {
            VARIANT item;
            VariantInit(&item);
            V_VT(&item) = VT_I4;
            V_I4(&item) = i;
            SafeArrayPutElement(array, &i, &item);
        }
    }
    return array;
}

void BuildTexts(Pools& pools, const std::vector<std::wstring>& deviceKeys) {
    pools.AddText("null BSTR", nullptr);
    pools.AddText("empty", SysAllocString(L""));
    const size_t lengths[] = {1, 259, 260, 261, 1039, 1040, 1041, 10240, 65536, 1000000};
    for (size_t length : lengths) {
        pools.AddText("'A' x " + std::to_string(length), Repeat(L"A", length));
    }
    for (size_t length : {259u, 1039u, 1040u, 1041u, 10240u}) {
        pools.AddText("backslashes x " + std::to_string(length), Repeat(L"\\", length));
        pools.AddText("'%s' x " + std::to_string(length), Repeat(L"%s%n", length));
    }
    // Characters that take two or three bytes in double-byte or UTF-8 code pages.
    for (size_t length : {346u, 347u, 520u, 521u, 1040u}) {
        pools.AddText("CJK x " + std::to_string(length), Repeat(L"\x8C03\x5236\x89E3", length));
        pools.AddText("Latin-1 x " + std::to_string(length), Repeat(L"\x00C9\x00E8\x00FF", length));
    }
    pools.AddText("embedded NUL Modem\\0x", Exact(L"Modem\0x", 7));
    pools.AddText("only NUL", Exact(L"\0", 1));
    pools.AddText("NUL then key", Exact(L"\0Enum\\ROOT", 10));
    pools.AddText("key NUL key", Exact(L"Enum\\ROOT\0..\\..\\SOFTWARE", 24));
    pools.AddText("NULs x 1041", Zeros(1041));
    pools.AddText("Latin-1 word", SysAllocString(L"P\x00E9riph\x00E9rique \x00C4\x00D6\x00DC\x00DF"));
    pools.AddText("CJK modem", SysAllocString(L"\x8C03\x5236\x89E3\x8C03\x5668"));
    pools.AddText("lone high surrogate", Exact(L"\xD800", 1));
    pools.AddText("lone low surrogate", Exact(L"\xDC00", 1));
    pools.AddText("surrogate inside", Exact(L"Mo\xD83D" L"dem", 5));
    pools.AddText("U+FFFF", Exact(L"\xFFFF", 1));
    pools.AddText("U+FFFE U+FEFF", Exact(L"\xFFFE\xFEFF", 2));
    pools.AddText("surrogates x 1040", Repeat(L"\xD800", 1040));

    const wchar_t* const classes[] = {L"modem", L"Modem", L"MODEM", L"DiskDrive", L"CDROM", L"Monitor",
                                      L"Net", L"Printer", L"MEDIA", L"Display", L"SCSIAdapter", L"hdc",
                                      L"Ports", L"System", L"Unknown", L"Speed", L"*", L"%"};
    for (const wchar_t* c : classes) pools.AddText("class", SysAllocString(c));
    const wchar_t* const values[] = {L"Speed", L"DeviceDesc", L"Class", L"Driver", L"DriverDesc",
                                     L"HardwareID", L"Problem", L"Mfg", L"AttachedTo", L"FriendlyName",
                                     L"Identifier", L"ProductName", L"HardwareKey", L"(Default)", L"Init"};
    for (const wchar_t* v : values) pools.AddText("value name", SysAllocString(v));
    const wchar_t* const keys[] = {
        L"Enum\\", L"Enum", L"Enum\\ROOT\\MODEM\\0000", L"Enum\\\\\\", L"..\\..", L"..", L".", L"\\", L"\\\\",
        L"\\\\?\\C:\\", L"HARDWARE\\DEVICEMAP\\SCSI",
        L"HARDWARE\\DEVICEMAP\\SCSI\\Scsi Port 0\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0",
        L"HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port 0", L"System\\CurrentControlSet\\Enum\\",
        L"System\\CurrentControlSet\\Enum\\ROOT\\LEGACY_MODEM\\0000",
        L"System\\CurrentControlSet\\Services\\Class\\Modem\\0000",
        L"System\\CurrentControlSet\\Control\\Class", L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
        L"HKEY_LOCAL_MACHINE\\SOFTWARE", L"Config Manager\\Enum", L"%s%s%s%s%n%n", L"%1040s", L"0",
        L"-1", L"2147483648", L"1e10", L"0x10", L" 12 ", L"NaN", L"true"};
    for (const wchar_t* k : keys) pools.AddText("key or number text", SysAllocString(k));

    const std::wstring tails[] = {std::wstring(400, L'A'), std::wstring(4400, L'L'), std::wstring(70000, L'x')};
    for (std::wstring tail : tails) {
        for (size_t i = 1; i < tail.size(); i += 2) tail[i] = L'\\';
        const std::string n = std::to_string(tail.size());
        pools.AddText("CurrentControlSet\\Enum\\ + tail " + n, Concat(L"System\\CurrentControlSet\\Enum\\", tail));
        pools.AddText("Enum\\ + tail " + n, Concat(L"Enum\\", tail));
        pools.AddText("DEVICEMAP\\Scsi\\ + tail " + n, Concat(L"HARDWARE\\DEVICEMAP\\Scsi\\", tail));
    }
    for (const std::wstring& key : deviceKeys) {
        pools.AddText("found key", Concat(key, L""));
        pools.AddText("found key + \\..", Concat(key, L"\\.."));
        pools.AddText("found key + 1040 tail", Concat(key + L"\\", std::wstring(1040, L'B')));
    }
}

void BuildNumbers(Pools& pools) {
    pools.AddNumber(0);
    pools.AddNumber(1);
    pools.AddNumber(-1);
    for (int k = 1; k < 32; ++k) {
        const int64_t power = int64_t(1) << k;
        for (int64_t n : {power - 1, power, power + 1, -power - 1, -power, -power + 1}) {
            pools.AddNumber(static_cast<LONG>(static_cast<uint32_t>(n)));
        }
    }
    pools.AddNumber(std::numeric_limits<LONG>::min());
    pools.AddNumber(std::numeric_limits<LONG>::max());
    for (LONG n = 2; n < 8; ++n) pools.AddNumber(n);  // device and processor numbers that exist
}

void BuildOdds(Pools& pools, IDispatch* self) {
    VARIANT v;
    auto add = [&](const std::string& label) {
        pools.AddOdd(label, v);
        VariantInit(&v);
    };
    VariantInit(&v);
    add("VT_EMPTY");
    V_VT(&v) = VT_NULL;
    add("VT_NULL");
    for (double d : {0.0, -0.5, 1.5, 1e300, -1e300, 2147483648.0, -2147483649.0, 4294967296.0, 3.0}) {
        V_VT(&v) = VT_R8;
        V_R8(&v) = d;
        add("VT_R8 " + std::to_string(d));
    }
    V_VT(&v) = VT_R8;
    V_R8(&v) = std::numeric_limits<double>::quiet_NaN();
    add("VT_R8 NaN");
    V_VT(&v) = VT_R8;
    V_R8(&v) = std::numeric_limits<double>::infinity();
    add("VT_R8 +inf");
    V_VT(&v) = VT_R4;
    V_R4(&v) = 3.4e38f;
    add("VT_R4 3.4e38");
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = VARIANT_TRUE;
    add("VT_BOOL true");
    V_VT(&v) = VT_I2;
    V_I2(&v) = -32768;
    add("VT_I2 -32768");
    V_VT(&v) = VT_UI1;
    V_UI1(&v) = 255;
    add("VT_UI1 255");
    V_VT(&v) = VT_I1;
    V_I1(&v) = -128;
    add("VT_I1 -128");
    V_VT(&v) = VT_UI4;
    V_UI4(&v) = 0xFFFFFFFF;
    add("VT_UI4 0xFFFFFFFF");
    V_VT(&v) = VT_I8;
    V_I8(&v) = int64_t(1) << 40;
    add("VT_I8 2^40");
    V_VT(&v) = VT_CY;
    V_CY(&v).int64 = std::numeric_limits<int64_t>::max();
    add("VT_CY max");
    V_VT(&v) = VT_DATE;
    V_DATE(&v) = 1e7;
    add("VT_DATE 1e7");
    V_VT(&v) = VT_DECIMAL;
    V_DECIMAL(&v).Hi32 = 0xFFFFFFFF;
    V_DECIMAL(&v).Lo64 = ~0ull;
    V_DECIMAL(&v).signscale = 0;
    add("VT_DECIMAL max");
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = nullptr;
    add("VT_DISPATCH null");
    V_VT(&v) = VT_UNKNOWN;
    V_UNKNOWN(&v) = nullptr;
    add("VT_UNKNOWN null");
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = self;  // coercion asks this object for its value property
    add("VT_DISPATCH another object");
    V_VT(&v) = VT_ERROR;
    V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
    add("VT_ERROR missing argument");
    V_VT(&v) = VT_ERROR;
    V_ERROR(&v) = 0;
    add("VT_ERROR 0");
    V_VT(&v) = VT_ARRAY | VT_BSTR;
    V_ARRAY(&v) = NewArray(VT_BSTR, 3);
    add("VT_ARRAY|VT_BSTR");
    V_VT(&v) = VT_ARRAY | VT_I4;
    V_ARRAY(&v) = NewArray(VT_I4, 2);
    add("VT_ARRAY|VT_I4");
    V_VT(&v) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(&v) = NewArray(VT_VARIANT, 1);
    add("VT_ARRAY|VT_VARIANT");
    V_VT(&v) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(&v) = NewArray(VT_VARIANT, 0);
    add("VT_ARRAY|VT_VARIANT empty");
    V_VT(&v) = VT_ARRAY | VT_I4;
    V_ARRAY(&v) = nullptr;
    add("VT_ARRAY|VT_I4 null array");

    g_targets.text = SysAllocString(L"Modem");
    g_targets.longText = Repeat(L"Z", 70000);
    VariantInit(&g_targets.inner);
    V_VT(&g_targets.inner) = VT_BSTR;
    V_BSTR(&g_targets.inner) = g_targets.text;
    VariantInit(&g_targets.innerRef);
    V_VT(&g_targets.innerRef) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&g_targets.innerRef) = &g_targets.inner;
    V_VT(&v) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&v) = &g_targets.text;
    add("VT_BYREF|VT_BSTR Modem");
    V_VT(&v) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&v) = &g_targets.longText;
    add("VT_BYREF|VT_BSTR 70000");
    V_VT(&v) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&v) = &g_targets.nullText;
    add("VT_BYREF|VT_BSTR to null BSTR");
    V_VT(&v) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&v) = nullptr;
    add("VT_BYREF|VT_BSTR null reference");
    V_VT(&v) = VT_BYREF | VT_I4;
    V_I4REF(&v) = &g_targets.number;
    add("VT_BYREF|VT_I4 1");
    V_VT(&v) = VT_BYREF | VT_I4;
    V_I4REF(&v) = &g_targets.minimum;
    add("VT_BYREF|VT_I4 INT_MIN");
    V_VT(&v) = VT_BYREF | VT_R8;
    V_R8REF(&v) = &g_targets.real;
    add("VT_BYREF|VT_R8 1e300");
    V_VT(&v) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&v) = &g_targets.inner;
    add("VT_BYREF|VT_VARIANT BSTR");
    V_VT(&v) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&v) = &g_targets.innerRef;
    add("VT_BYREF|VT_VARIANT to BYREF");
    V_VT(&v) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&v) = nullptr;
    add("VT_BYREF|VT_VARIANT null reference");
    V_VT(&v) = VT_RECORD;
    v.pvRecord = nullptr;
    v.pRecInfo = nullptr;
    add("VT_RECORD null");
    V_VT(&v) = VT_VARIANT;
    add("bare VT_VARIANT");
    V_VT(&v) = 0x7FFF;
    add("VT 0x7FFF");
    V_VT(&v) = VT_BSTR | VT_VECTOR;
    add("VT_VECTOR|VT_BSTR");
}

// ---- The object --------------------------------------------------------------------------

const wchar_t* const kProgIds[] = {L"Orvane.VXR.ZEKO.HWInfo", L"Orvane.VXR.ZEKO.HWInfo.1"};

IDispatch* CreateObject(unsigned how) {
    CLSID clsid = CLSID_CoDeZiVero;
    if (how < 2 && FAILED(CLSIDFromProgID(kProgIds[how], &clsid))) return nullptr;
    IDispatch* dispatch = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&dispatch))))
        return nullptr;
    return dispatch;
}

IDeZiVero* Primary(IDispatch* dispatch) {
    IDeZiVero* object = nullptr;
    dispatch->QueryInterface(IID_IDeZiVero, reinterpret_cast<void**>(&object));
    if (object) object->Release();  // the IDispatch reference keeps it
    return object;
}

std::wstring HWKeyOf(IDeZiVero* object) {
    BSTR key = nullptr;
    std::wstring text = L"<failed>";
    if (SUCCEEDED(object->get_HWKey(&key))) text.assign(key ? key : L"", key ? SysStringLen(key) : 0);
    SysFreeString(key);
    return text;
}

// Device keys of the seeded machine, so that GetDeviceInfo also gets keys
// that exist.
std::vector<std::wstring> HarvestKeys(IDeZiVero* object) {
    std::vector<std::wstring> keys;
    const wchar_t* const classes[] = {L"Modem", L"DiskDrive", L"CDROM", L"Display", L"SCSIAdapter",
                                      L"Net", L"Monitor", L"Printer", L"MEDIA"};
    for (const wchar_t* c : classes) {
        BSTR name = SysAllocString(c);
        for (LONG n = 0; n < 3; ++n) {
            VARIANT_BOOL found = VARIANT_FALSE;
            if (object->FindDevice(n, name, &found) != S_OK || found != VARIANT_TRUE) break;
            keys.push_back(HWKeyOf(object));
        }
        SysFreeString(name);
    }
    return keys;
}

// Members whose answer does not change while the fuzzer runs; their every
// successful answer must equal the first one.
bool IsSteady(const Member& m) {
    if (m.ArgumentCount() != 0) return false;
    switch (m.dispid) {
    case 29:  // HWKey: the last FindDevice
    case 30:  // DeviceStatus: the last FindDevice
    case 36:  // free space moves with the host's disk
        return false;
    default:
        return true;
    }
}

std::string g_steady[64];  // by DISPID

std::string Rendered(HRESULT hr, const VARIANT& v) {
    std::string text;
    members::AppendHex(&text, static_cast<unsigned long>(hr));
    text += " ";
    members::AppendVariant(&text, v);
    return text;
}

// The failures a member may give for a call that reached it.
bool MayFail(const Member& m, HRESULT scode) {
    switch (scode) {
    case E_NOTIMPL: return m.dispid == 4 || m.dispid == 6;
    case E_FAIL: return m.dispid == 34;
    case E_POINTER: return m.shape == Shape::DeviceInfo || m.shape == Shape::FindDevice;
    default: return false;
    }
}

// Checks a successful answer's type and, for steady members, its value.
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
        if (now != g_steady[m.dispid]) {
            std::snprintf(what, sizeof what, "%s: %ls changed its answer", how, m.name);
            Fail(what);
            std::printf("  first %s\n  now   %s\n", g_steady[m.dispid].c_str(), now.c_str());
            return;
        }
    }
    ++g_passed;
}

// After a FindDevice: HWKey is empty unless a device was found.
void CheckFindState(IDeZiVero* object, bool found) {
    const std::wstring key = HWKeyOf(object);
    if (found) {
        Check(!key.empty() && key.size() < 1040, "FindDevice found a device but HWKey is empty or too long");
    } else {
        Check(key.empty(), "FindDevice found nothing but HWKey is not empty");
    }
}

// ---- One Invoke ----------------------------------------------------------------------------

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

class Fuzzer {
public:
    Fuzzer(Pools& pools, uint64_t seed) : pools_(pools), random_(seed) {}

    IDispatch* dispatch = nullptr;
    IDeZiVero* object = nullptr;

    void Invoke(const InvokeShape& s) {
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
    void FillArguments(InvokeShape& s, const Member& m, unsigned count) {
        s.argCount = count;
        for (unsigned i = 0; i < count; ++i) {
            const VARTYPE type = i < m.ArgumentCount() ? m.ArgumentType(i) : VARTYPE(VT_EMPTY);
            s.args[i] = pools_.Pick(random_, type);
        }
    }

    const Member& AnyMember() { return kMembers[random_.Below(kMemberCount)]; }

    WORD FittingFlags(const Member& m) {
        if (m.IsProperty()) return random_.Percent(50) ? DISPATCH_PROPERTYGET : DISPATCH_PROPERTYGET | DISPATCH_METHOD;
        return random_.Percent(60) ? DISPATCH_METHOD : DISPATCH_PROPERTYGET | DISPATCH_METHOD;
    }

    void Record(Family family, const InvokeShape& s, const wchar_t* name) {
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

    void ByDispid() {
        const Member& m = AnyMember();
        InvokeShape s;
        s.member = &m;
        s.dispid = m.dispid;
        s.flags = FittingFlags(m);
        FillArguments(s, m, m.ArgumentCount());
        Record(kDispid, s, nullptr);
        Invoke(s);
    }

    void WrongFlags() {
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

    void WrongCount() {
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

    void UnknownDispid() {
        const DISPID unknown[] = {0,          -1,         -2,         -3,         -4,         -5,
                                  39,         40,         100,        0x7FFFFFFF, INT32_MIN,  0x60000000,
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
    void OddParams() {
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
    void ByName() {
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

    void Vtable() {
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
            Check(answer == g_steady[m.dispid], what);
        } else {
            ++g_passed;
        }
        if (m.shape == Shape::FindDevice) {
            CheckFindState(object, hr == S_OK && answer.compare(answer.size() - 4, 4, "true") == 0);
        }
    }

    void One() {
        const unsigned roll = random_.Below(100);
        if (roll < 35) return ByDispid();
        if (roll < 55) return ByName();
        if (roll < 65) return WrongFlags();
        if (roll < 75) return WrongCount();
        if (roll < 80) return UnknownDispid();
        if (roll < 90) return OddParams();
        return Vtable();
    }

    bool ByRefTargetsIntact() const {
        return V_VT(&g_targets.inner) == VT_BSTR && V_BSTR(&g_targets.inner) == g_targets.text &&
               g_targets.number == 1 && g_targets.minimum == std::numeric_limits<LONG>::min() &&
               g_targets.real == 1e300 && g_targets.nullText == nullptr && SysStringLen(g_targets.longText) == 70000 &&
               std::wcscmp(g_targets.text, L"Modem") == 0;
    }

private:
    Pools& pools_;
    Random random_;
};

// ---- Null pointers through the interface table ---------------------------------------------

void NullPointerChecks(IDispatch* dispatch, IDeZiVero* object) {
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

bool HeapsValid() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    const DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!HeapValidate(heaps[i], 0, nullptr)) return false;
    }
    return true;
}

// Whether the system checks the tails of heap blocks in this process: a block
// written one byte past its requested size must then fail validation.
bool HeapTailChecksOn() {
    HANDLE heap = HeapCreate(0, 0, 0);
    auto* block = static_cast<volatile BYTE*>(HeapAlloc(heap, 0, 13));
    block[13] = 0x5A;  // on purpose: within the rounded block, past the requested size
    const bool caught = !HeapValidate(heap, 0, nullptr);
    HeapDestroy(heap);
    return caught;
}

void RecordLibraryRange() {
    HMODULE library = nullptr;
    // An extra reference: the library stays at one address for the whole run.
    if (!GetModuleHandleExW(0, L"DeZIVero.DLL", &library) || !library) return;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(library);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const BYTE*>(library) + dos->e_lfanew);
    g_libraryStart = reinterpret_cast<BYTE*>(library);
    g_libraryEnd = g_libraryStart + nt->OptionalHeader.SizeOfImage;
}

void PrintHistogram() {
    std::printf("status histogram (status [member failure]: calls):\n");
    for (const auto& row : g_histogram) {
        std::string name = StatusText(static_cast<HRESULT>(row.first.first));
        if (row.first.second) name += " [" + StatusText(static_cast<HRESULT>(row.first.second)) + "]";
        std::printf("  %-52s %lu\n", name.c_str(), row.second);
    }
    std::printf("calls by family:");
    for (int f = 0; f < kFamilyCount; ++f) std::printf(" %s %lu", kFamilyNames[f], g_familyCalls[f]);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    unsigned long calls = 20000;
    uint64_t seed = 1;
    unsigned long crashProbe = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--calls")) calls = std::strtoul(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--seed")) seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--crash-probe")) crashProbe = std::strtoul(argv[i + 1], nullptr, 10);
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    SetUnhandledExceptionFilter(UnhandledFilter);
    AddVectoredExceptionHandler(1, LibraryFaultHandler);

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    std::printf("dispatch_fuzz: platform %lu, version %lu.%lu, seed %llu, %lu calls, heap tail checks %s\n",
                version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion,
                static_cast<unsigned long long>(seed), calls, HeapTailChecksOn() ? "on" : "off");

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IDispatch* helper = CreateObject(0);  // the VT_DISPATCH argument; lives all run
    if (!helper) {
        std::printf("dispatch_fuzz: the object cannot be created through its ProgID\n");
        std::printf("dispatch_fuzz: 0 passed, 1 failed\n");
        return 1;
    }
    RecordLibraryRange();
    Check(g_libraryStart != nullptr, "the library is loaded in the process");

    static Pools pools;  // away from the stack, so a report after an overrun can still name the arguments
    g_labels = &pools.labels;
    const std::vector<std::wstring> keys = HarvestKeys(Primary(helper));
    Check(!keys.empty(), "the seeded devices are found");
    BuildTexts(pools, keys);
    BuildNumbers(pools);
    BuildOdds(pools, helper);
    std::printf("pools: %zu texts (%zu device keys found), %zu numbers, %zu other variants\n", pools.texts.size(),
                keys.size(), pools.numbers.size(), pools.odds.size());

    Fuzzer fuzzer(pools, seed);
    fuzzer.dispatch = CreateObject(2);
    fuzzer.object = fuzzer.dispatch ? Primary(fuzzer.dispatch) : nullptr;
    if (!fuzzer.object) {
        std::printf("dispatch_fuzz: 0 passed, 1 failed\n");
        return 1;
    }
    for (const Member& m : kMembers) {
        if (!IsSteady(m)) continue;
        members::Arguments none;
        members::CallMember(fuzzer.object, m, none, false, &g_steady[m.dispid]);
    }
    NullPointerChecks(fuzzer.dispatch, fuzzer.object);

    const DWORD start = GetTickCount();
    for (unsigned long n = 1; n <= calls; ++n) {
        g_call.number = n;
        if (n % 2000 == 0) {
            fuzzer.dispatch->Release();
            fuzzer.dispatch = CreateObject(n / 2000 % 3);
            fuzzer.object = fuzzer.dispatch ? Primary(fuzzer.dispatch) : nullptr;
            Check(fuzzer.object != nullptr, "the object is created again");
            if (!fuzzer.object) break;
        }
        if (n == crashProbe) *static_cast<volatile int*>(nullptr) = 1;
        fuzzer.One();
        if (n % 1000 == 0) Check(HeapsValid(), "every heap of the process is valid");
    }
    const DWORD elapsed = GetTickCount() - start;
    if (fuzzer.dispatch) fuzzer.dispatch->Release();
    helper->Release();

    using Routine = HRESULT(STDAPICALLTYPE*)();
    const auto canUnload = reinterpret_cast<Routine>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"DeZIVero.DLL"), "DllCanUnloadNow")));
    Check(canUnload && canUnload() == S_OK, "every object is gone afterwards: the library can unload");

    PrintHistogram();
    std::printf("dispatch_fuzz: %lu calls in %.1f s (%.1f us per call), 0 crashes\n", g_calls, elapsed / 1000.0,
                g_calls ? elapsed * 1000.0 / g_calls : 0.0);
    std::printf("dispatch_fuzz: %lu passed, %lu failed\n", g_passed, g_failed);
    CoUninitialize();
    return g_failed == 0 ? 0 : 1;
}
