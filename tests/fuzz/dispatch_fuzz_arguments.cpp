// Arguments come from pools built once: strings of the lengths around the
// library's fixed buffers (up to 1,000,000 characters), embedded NULs,
// non-ASCII text, lone surrogates, device classes and key paths, integers
// around every power of two, and variants of the wrong type (R8, null
// DISPATCH, arrays, BYREF, missing-argument errors, records).
#include "tests/fuzz/dispatch_fuzz_arguments.h"

#include <cstring>
#include <limits>

#include "tests/fuzz/dispatch_fuzz_checks.h"

namespace dispatch_fuzz {

namespace {

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

}  // namespace

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

bool ByRefTargetsIntact() {
    return V_VT(&g_targets.inner) == VT_BSTR && V_BSTR(&g_targets.inner) == g_targets.text &&
           g_targets.number == 1 && g_targets.minimum == std::numeric_limits<LONG>::min() &&
           g_targets.real == 1e300 && g_targets.nullText == nullptr && SysStringLen(g_targets.longText) == 70000 &&
           std::wcscmp(g_targets.text, L"Modem") == 0;
}

}  // namespace dispatch_fuzz
