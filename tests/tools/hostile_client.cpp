// Drives the built DeZIVero.DLL in process against hostile registry contents
// that it writes into the scratch Wine prefix it runs in: caller keys outside
// the device roots (and the forms Wine folds into a root, "Enum\\"), texts of
// 259 to 65,536 bytes with and without terminator, numbers of the wrong type,
// a chain of keys far deeper than a path can reach, and ten thousand devices
// of one class, whose search times it prints as figures.
//
// Usage: hostile_client.exe DLL nt|9x   (the prefix already set to the family)
// Prints each failed check, "figure: ..." lines and a last line
// "hostile_client: N passed, M failed".
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "DeZIVero_h.h"
#include "tally.h"
#include "many_devices.h"
#include "registry_tree.h"

namespace {

using tally::Check;
using tally::failed;
using tally::passed;

void CheckText(const std::string& actual, const std::string& expected, const std::string& what) {
    if (actual == expected) {
        ++passed;
        return;
    }
    ++failed;
    auto shorten = [](const std::string& s) {
        return s.size() <= 60 ? s : s.substr(0, 40) + "...(" + std::to_string(s.size()) + ")";
    };
    std::printf("FAILED: %s: expected \"%s\", got \"%s\"\n", what.c_str(),
                shorten(expected).c_str(), shorten(actual).c_str());
}

// ---- Registry writing -------------------------------------------------------------------

using registry_tree::CreateKey;
using registry_tree::DeleteTree;

bool SetRaw(HKEY root, const std::string& path, const std::string& name, DWORD type,
            const std::string& bytes) {
    HKEY key = CreateKey(root, path);
    if (!key) return false;
    const LONG r = RegSetValueExA(key, name.c_str(), 0, type,
                                  reinterpret_cast<const BYTE*>(bytes.data()),
                                  static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    if (r != ERROR_SUCCESS) std::printf("cannot set %s\\%s (error %ld)\n", path.c_str(), name.c_str(), r);
    return r == ERROR_SUCCESS;
}

bool SetText(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
    return SetRaw(root, path, name, REG_SZ, text + '\0');
}

bool SetLong(HKEY root, const std::string& path, const std::string& name, DWORD value) {
    return SetRaw(root, path, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4));
}

// ---- The object -------------------------------------------------------------------------

IClassFactory* factory = nullptr;
IDeZiVero* object = nullptr;

// A new object, so that nothing but the next search writes its status.
void FreshObject() {
    if (object) object->Release();
    object = nullptr;
    if (factory->CreateInstance(nullptr, IID_IDeZiVero, reinterpret_cast<void**>(&object)) != S_OK)
        std::printf("cannot create another object\n");
}

BSTR Wide(const std::string& text) {
    std::wstring wide(text.begin(), text.end());
    return SysAllocStringLen(wide.c_str(), static_cast<UINT>(wide.size()));
}

std::string Narrow(BSTR text) {
    std::string out;
    for (UINT i = 0; text && i < SysStringLen(text); ++i) out += static_cast<char>(text[i]);
    return out;
}

struct Found {
    bool found = false;
    std::string key;
    LONG status = 0;
};

Found Find(const std::string& deviceClass, LONG number) {
    Found result;
    BSTR cls = Wide(deviceClass);
    VARIANT_BOOL found = VARIANT_FALSE;
    const HRESULT hr = object->FindDevice(number, cls, &found);
    SysFreeString(cls);
    if (hr != S_OK) std::printf("FindDevice returned 0x%08lX\n", static_cast<unsigned long>(hr));
    result.found = found == VARIANT_TRUE;
    BSTR key = nullptr;
    object->get_HWKey(&key);
    result.key = Narrow(key);
    SysFreeString(key);
    object->get_DeviceStatus(&result.status);
    return result;
}

// The first device of the class whose key ends with tail, searching at most limit.
Found FindEndingWith(const std::string& deviceClass, const std::string& tail, LONG limit = 64) {
    for (LONG n = 0; n < limit; ++n) {
        Found f = Find(deviceClass, n);
        if (!f.found) break;
        if (f.key.size() >= tail.size() && f.key.compare(f.key.size() - tail.size(), tail.size(), tail) == 0)
            return f;
    }
    return Found{};
}

std::string Info(const std::string& key, const std::string& subkey, const std::string& name) {
    BSTR k = Wide(key), s = Wide(subkey), n = Wide(name);
    VARIANT value;
    VariantInit(&value);
    const HRESULT hr = object->GetDeviceInfo(k, s, n, &value);
    SysFreeString(k);
    SysFreeString(s);
    SysFreeString(n);
    std::string out = hr != S_OK                  ? "<failed>"
                      : V_VT(&value) == VT_EMPTY ? "<empty>"
                      : V_VT(&value) == VT_BSTR  ? Narrow(V_BSTR(&value))
                      : V_VT(&value) == VT_I4    ? "<long " + std::to_string(V_I4(&value)) + ">"
                                                 : "<vt " + std::to_string(V_VT(&value)) + ">";
    VariantClear(&value);
    return out;
}

std::string TextMember(HRESULT (STDMETHODCALLTYPE IDeZiVero::*member)(LONG, BSTR*), LONG arg) {
    BSTR text = nullptr;
    (object->*member)(arg, &text);
    std::string out = Narrow(text);
    SysFreeString(text);
    return out;
}

double Milliseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// The fastest of three searches, in milliseconds.
double TimeFind(const std::string& deviceClass, LONG number, Found* last) {
    double best = 1e30;
    for (int i = 0; i < 3; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        *last = Find(deviceClass, number);
        QueryPerformanceCounter(&end);
        const double ms = Milliseconds(start, end);
        if (ms < best) best = ms;
    }
    return best;
}

std::string Chars(size_t count, bool pathLike) {
    std::string chars;
    for (size_t i = 0; i < count; ++i)
        chars += (pathLike && i % 100 == 99 && i + 1 < count) ? '\\'
                                                             : static_cast<char>('a' + i % 26);
    return chars;
}

const std::string kEnumNt = "System\\CurrentControlSet\\Enum";
const std::string kServices = "System\\CurrentControlSet\\Services";
const std::string kClassNt = "System\\CurrentControlSet\\Control\\Class";
const std::string kClass9x = "System\\CurrentControlSet\\Services\\Class";
const std::string kNet = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
const std::string kPrinters = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
const std::string kMedia = "SYSTEM\\CurrentControlSet\\Control\\MediaResources";
const std::string kScsi = "HARDWARE\\DEVICEMAP\\Scsi";
const std::string kList = "Config Manager\\Enum";
const std::string kCpu = "Hardware\\Description\\System\\CentralProcessor\\0";

bool nt = true;

// ---- Caller keys ------------------------------------------------------------------------

void CallerKeys() {
    const std::string root = nt ? kEnumNt : "Enum";
    SetText(HKEY_LOCAL_MACHINE, root, "Secret", "root value");
    SetText(HKEY_LOCAL_MACHINE, root + "\\ORVKEY\\0", "Secret", "device value");
    const std::string outside =
        nt ? "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion" : "Software\\Microsoft\\Windows\\CurrentVersion";
    SetText(HKEY_LOCAL_MACHINE, outside, "Secret", "outside value");
    struct Row {
        std::string key;
        const char* expected;
    } rows[] = {
        {root + "\\ORVKEY\\0", "device value"},
        {root + "\\orvkey\\0", "device value"},
        {root, "<empty>"},
        {root + "\\", "<empty>"},
        // Wine folds repeated backslashes: these would open the root itself.
        {root + "\\\\", "<empty>"},
        {root + "\\\\\\", "<empty>"},
        {root + "\\\\ORVKEY\\0", "<empty>"},
        {root + "\\ORVKEY\\\\0", "<empty>"},
        {root + "\\ORVKEY\\0\\", "<empty>"},
        {"\\" + root + "\\ORVKEY\\0", "<empty>"},
        {root + "\\..\\" + root + "\\ORVKEY\\0", "<empty>"},
        {root + "X\\ORVKEY\\0", "<empty>"},
        {outside, "<empty>"},
        {root + "\\ORVKEY\\..\\..\\" + outside, "<empty>"},
        {nt ? "Enum\\ORVKEY\\0" : kEnumNt + "\\ORVKEY\\0", "<empty>"},
    };
    for (const Row& row : rows)
        CheckText(Info(row.key, "", "Secret"), row.expected, "GetDeviceInfo of key " + row.key);
    // The subkey goes below the driver key only.
    SetText(HKEY_LOCAL_MACHINE, root + "\\ORVKEY\\0", "Driver", "{orvkey}\\0000");
    const std::string driver = (nt ? kClassNt : kClass9x) + "\\{orvkey}\\0000";
    SetText(HKEY_LOCAL_MACHINE, driver, "Setting", "driver");
    SetText(HKEY_LOCAL_MACHINE, driver + "\\Modes", "Setting", "mode");
    SetText(HKEY_LOCAL_MACHINE, driver.substr(0, driver.rfind('\\')), "Setting", "class root");
    CheckText(Info(root + "\\ORVKEY\\0", "", "Setting"), "driver", "empty subkey");
    CheckText(Info(root + "\\ORVKEY\\0", "Modes", "Setting"), "mode", "plain subkey");
    CheckText(Info(root + "\\ORVKEY\\0", "..", "Setting"), "<empty>", "subkey ..");
    CheckText(Info(root + "\\ORVKEY\\0", "\\Modes", "Setting"), "<empty>", "subkey \\Modes");
    CheckText(Info(root + "\\ORVKEY\\0", "Modes\\\\", "Setting"), "<empty>", "subkey Modes\\\\");
}

// ---- FindDevice and back through GetDeviceInfo, every route -----------------------------

void RoundTrips() {
    struct Row {
        const char* deviceClass;
        const char* tail;
        const char* name;
        const char* expected;
    };
    if (nt) {
        const std::string unit = kScsi + "\\Scsi Port 9\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0";
        const std::string cd = kScsi + "\\Scsi Port 9\\Scsi Bus 0\\Target Id 1\\Logical Unit Id 0";
        SetText(HKEY_LOCAL_MACHINE, kScsi + "\\Scsi Port 9", "Driver", "orvscsi");
        SetText(HKEY_LOCAL_MACHINE, unit, "Type", "DiskPeripheral");
        SetText(HKEY_LOCAL_MACHINE, unit, "Identifier", "ORVANE DISK");
        SetText(HKEY_LOCAL_MACHINE, cd, "Type", "CdRomPeripheral");
        SetText(HKEY_LOCAL_MACHINE, cd, "Identifier", "ORVANE CD");
        SetText(HKEY_LOCAL_MACHINE, kEnumNt + "\\ORVMON\\Mon\\0", "Class", "Monitor");
        SetText(HKEY_LOCAL_MACHINE, kEnumNt + "\\ORVMON\\Mon\\0", "DeviceDesc", "Orvane Monitor");
        SetText(HKEY_LOCAL_MACHINE, kNet + "\\77", "Title", "Orvane NIC");
        SetText(HKEY_LOCAL_MACHINE, kNet + "\\77", "Manufacturer", "Orvane");
        SetText(HKEY_LOCAL_MACHINE, kPrinters + "\\LaserJet 4/4M", "Name", "LaserJet 4/4M");
        SetText(HKEY_LOCAL_MACHINE, kPrinters + "\\LaserJet 4/4M", "Printer Driver", "PCL 5");
        SetText(HKEY_LOCAL_MACHINE, kMedia + "\\wave\\orv", "Active", "1");
        SetText(HKEY_LOCAL_MACHINE, kMedia + "\\wave\\orv", "Description", "Orvane Wave");
        SetLong(HKEY_LOCAL_MACHINE, kServices + "\\orvmdm\\Enum", "Count", 1);
        SetText(HKEY_LOCAL_MACHINE, kServices + "\\orvmdm\\Enum", "0", "ORVMDM\\0000");
        SetText(HKEY_LOCAL_MACHINE, kEnumNt + "\\ORVMDM\\0000", "Class", "Modem");
        SetText(HKEY_LOCAL_MACHINE, kEnumNt + "\\ORVMDM\\0000", "DeviceDesc", "Orvane V.90 Modem");
        SetText(HKEY_LOCAL_MACHINE, kEnumNt + "\\ORVMDM\\0000", "Driver", "{orvmdm}\\0000");
        SetText(HKEY_LOCAL_MACHINE, kClassNt + "\\{orvmdm}\\0000", "DriverDesc", "Modem driver");
        const Row rows[] = {
            {"DiskDrive", "Target Id 0\\Logical Unit Id 0", "DeviceDesc", "ORVANE DISK"},
            {"DiskDrive", "Target Id 0\\Logical Unit Id 0", "DriverDesc", "orvscsi"},
            {"CDROM", "Target Id 1\\Logical Unit Id 0", "DeviceDesc", "ORVANE CD"},
            {"Monitor", "ORVMON\\Mon\\0", "DeviceDesc", "Orvane Monitor"},
            {"Net", "\\77", "DeviceDesc", "Orvane NIC"},
            {"Net", "\\77", "Mfg", "Orvane"},
            {"Printer", "\\LaserJet 4/4M", "DeviceDesc", "LaserJet 4/4M"},
            {"Printer", "\\LaserJet 4/4M", "DriverDesc", "PCL 5"},
            {"Media", "wave\\orv", "DeviceDesc", "Orvane Wave"},
            {"modem", "ORVMDM\\0000", "Speed", "<long 57600>"},
            {"modem", "ORVMDM\\0000", "DriverDesc", "Modem driver"},
        };
        for (const Row& row : rows) {
            const Found f = FindEndingWith(row.deviceClass, row.tail);
            Check(f.found, std::string("FindDevice ") + row.deviceClass + " finds " + row.tail);
            CheckText(Info(f.key, "", row.name), row.expected,
                      std::string("round trip ") + row.deviceClass + " " + row.name);
        }
        return;
    }
    SetText(HKEY_DYN_DATA, kList + "\\ORVMDM", "HardwareKey", "ORVMDM\\0000");
    SetLong(HKEY_DYN_DATA, kList + "\\ORVMDM", "Problem", 0);
    SetText(HKEY_LOCAL_MACHINE, "Enum\\ORVMDM\\0000", "Class", "Modem");
    SetText(HKEY_LOCAL_MACHINE, "Enum\\ORVMDM\\0000", "DeviceDesc", "Orvane V.90 Modem");
    SetText(HKEY_LOCAL_MACHINE, "Enum\\ORVMDM\\0000", "Driver", "Modem\\0077");
    SetText(HKEY_LOCAL_MACHINE, kClass9x + "\\Modem\\0077", "DriverDesc", "Modem driver");
    const Row rows[] = {
        {"modem", "ORVMDM\\0000", "DeviceDesc", "Orvane V.90 Modem"},
        {"Modem", "ORVMDM\\0000", "Speed", "<long 57600>"},
        {"MODEM", "ORVMDM\\0000", "DriverDesc", "Modem driver"},
    };
    for (const Row& row : rows) {
        const Found f = FindEndingWith(row.deviceClass, row.tail);
        Check(f.found, std::string("FindDevice ") + row.deviceClass + " finds " + row.tail);
        CheckText(Info(f.key, "", row.name), row.expected,
                  std::string("round trip ") + row.deviceClass + " " + row.name);
    }
}

// ---- Texts of awkward sizes -------------------------------------------------------------

const size_t kLengths[] = {259, 260, 1039, 1040, 4096, 65536};

// Wine's RegOpenKeyExA answers ERROR_MORE_DATA for a key path of more than
// this many characters, so longer device keys are never opened there.
constexpr size_t kWineKeyPath = 259;

std::string OSName() {
    BSTR name = nullptr;
    object->get_OSName(&name);
    std::string text = Narrow(name);
    SysFreeString(name);
    return text;
}

void LongTexts() {
    const std::string device = nt ? kEnumNt + "\\ORVLONG\\0" : "Enum\\ORVLONG\\0";
    const std::string versionKey =
        nt ? "Software\\Microsoft\\Windows NT\\CurrentVersion" : "Software\\Microsoft\\Windows\\CurrentVersion";
    // What OSName falls back to without a product name (the product type on NT).
    HKEY version = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, versionKey.c_str(), 0, KEY_ALL_ACCESS, &version);
    RegDeleteValueA(version, "ProductName");
    RegCloseKey(version);
    const std::string fallback = OSName();
    for (size_t bytes : kLengths) {
        for (bool terminated : {true, false}) {
            const std::string tag = std::to_string(bytes) + (terminated ? " terminated" : " unterminated");
            // Wine keeps a text value set without a terminator with one, so it
            // takes a byte more room when read back.
            const size_t stored = terminated ? bytes : bytes + 1;
            const std::string chars = Chars(terminated ? bytes - 1 : bytes, false);
            const std::string value = terminated ? chars + '\0' : chars;
            const std::string path = Chars(terminated ? bytes - 1 : bytes, true);
            const std::string pathValue = terminated ? path + '\0' : path;

            // DeviceDesc through GetDeviceInfo's buffer of 1040.
            SetRaw(HKEY_LOCAL_MACHINE, device, "DeviceDesc", REG_SZ, value);
            CheckText(Info(device, "", "DeviceDesc"), stored <= 1040 ? chars : "<empty>",
                      "DeviceDesc of " + tag);

            // A driver name never fits the driver-key path of 260.
            SetRaw(HKEY_LOCAL_MACHINE, device, "Driver", REG_SZ, pathValue);
            CheckText(Info(device, "", "DriverDesc"), "<empty>", "Driver of " + tag);

            // The core's texts keep their last byte for a terminator.
            const bool coreWhole = stored <= 1040;
            SetRaw(HKEY_LOCAL_MACHINE, kCpu, "VendorIdentifier", REG_SZ, value);
            CheckText(TextMember(&IDeZiVero::ProcessorVendorId, 1), coreWhole ? chars : "",
                      "VendorIdentifier of " + tag);
            SetRaw(HKEY_LOCAL_MACHINE, versionKey, "ProductName", REG_SZ, value);
            CheckText(OSName(), coreWhole ? chars : fallback, "ProductName of " + tag);

            // Class texts are compared in 260 bytes.
            const bool classWhole = stored <= 260;
            if (nt) {
                SetLong(HKEY_LOCAL_MACHINE, kServices + "\\!orvlong\\Enum", "Count", 1);
                SetText(HKEY_LOCAL_MACHINE, kServices + "\\!orvlong\\Enum", "0", "ORVLONG\\0");
                SetLong(HKEY_LOCAL_MACHINE, device, "StatusFlags", 1);
            } else {
                SetText(HKEY_DYN_DATA, kList + "\\!LONG", "HardwareKey", "ORVLONG\\0");
            }
            SetRaw(HKEY_LOCAL_MACHINE, device, "Class", REG_SZ, value);
            Check(Find(chars, 0).found == classWhole, "Class of " + tag);

            if (nt) {
                const std::string unit = kScsi + "\\Scsi Port 8\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0";
                SetRaw(HKEY_LOCAL_MACHINE, unit, "Identifier", REG_SZ, value);
                CheckText(Info(unit, "", "DeviceDesc"), stored <= 1040 ? chars : "<empty>",
                          "Identifier of " + tag);
                // Route values are compared in 260 bytes.
                SetRaw(HKEY_LOCAL_MACHINE, kNet + "\\78", "Title", REG_SZ, value);
                Check(FindEndingWith("Net", "\\78").found == classWhole, "Title of " + tag);
                SetRaw(HKEY_LOCAL_MACHINE, kPrinters + "\\OrvLong", "Name", REG_SZ, value);
                Check(FindEndingWith("Printer", "\\OrvLong").found == classWhole, "Name of " + tag);
            } else {
                // "Enum\" and the last byte leave 1034 bytes of HWKey for the hardware
                // key; Wine then opens no key path longer than 259 characters.
                SetRaw(HKEY_DYN_DATA, kList + "\\!HWKEY", "HardwareKey", REG_SZ, pathValue);
                SetText(HKEY_LOCAL_MACHINE, "Enum\\" + path, "Class", "OrvHK");
                const Found f = Find("OrvHK", 0);
                Check(f.found == (stored <= 1034 && 5 + path.size() <= kWineKeyPath),
                      "HardwareKey of " + tag);
                if (f.found) CheckText(f.key, "Enum\\" + path, "HWKey of " + tag);
                DeleteTree(HKEY_LOCAL_MACHINE, "Enum\\" + path.substr(0, path.find('\\')));
            }
        }
    }
    if (nt) {
        DeleteTree(HKEY_LOCAL_MACHINE, kServices + "\\!orvlong");
        DeleteTree(HKEY_LOCAL_MACHINE, kScsi + "\\Scsi Port 8");
        DeleteTree(HKEY_LOCAL_MACHINE, kNet + "\\78");
        DeleteTree(HKEY_LOCAL_MACHINE, kPrinters + "\\OrvLong");
    } else {
        DeleteTree(HKEY_DYN_DATA, kList + "\\!LONG");
        DeleteTree(HKEY_DYN_DATA, kList + "\\!HWKEY");
    }
}

// ---- Numbers of the wrong type ----------------------------------------------------------

struct TypeRow {
    const char* name;
    DWORD type;
    std::string bytes;
};

std::string B(const char* bytes, size_t count) { return std::string(bytes, count); }

const TypeRow kTypeRows[] = {
    {"dword 7", REG_DWORD, B("\x07\0\0\0", 4)},  {"text \"7\"", REG_SZ, B("7\0", 2)},
    {"long text", REG_SZ, B("12345\0", 6)},       {"1 byte", REG_BINARY, B("\x07", 1)},
    {"2 bytes", REG_BINARY, B("\x07\x01", 2)},    {"8 bytes", REG_BINARY, std::string(8, '\x09')},
    {"multi-sz", REG_MULTI_SZ, B("7\0\0", 3)},
};

void WrongTypes() {
    // Expected, row by row: 9x Problem (-1: the fresh object's status, untouched), NT
    // Problem, whether StatusFlags let the instance count, whether Hidden hides the key,
    // the devices found of three when the row is the "Count", and the clock rate.
    const LONG problem9x[] = {7, 0x37, -1, 7, 0x107, -1, 0x37};
    const LONG problemNt[] = {7, 0x37, 0, 7, 0x107, 0, 0x37};
    const bool flagsCount[] = {true, true, false, true, true, false, true};
    const bool hidden[] = {true, true, false, true, true, false, true};
    const int countFound[] = {3, 3, 0, 3, 3, 0, 3};
    const LONG mhz[] = {7, 55, 0, 0, 266, 0, 55};
    for (size_t i = 0; i < sizeof kTypeRows / sizeof kTypeRows[0]; ++i) {
        const TypeRow& row = kTypeRows[i];
        const std::string tag = std::string(" of ") + row.name;
        if (!nt) {
            FreshObject();
            SetText(HKEY_DYN_DATA, kList + "\\!P", "HardwareKey", "ORVP\\0");
            SetRaw(HKEY_DYN_DATA, kList + "\\!P", "Problem", row.type, row.bytes);
            SetText(HKEY_LOCAL_MACHINE, "Enum\\ORVP\\0", "Class", "OrvP");
            const Found f = Find("OrvP", 0);
            Check(f.found && f.status == problem9x[i],
                  "9x Problem" + tag + " gives " + std::to_string(f.status));
            continue;
        }
        const std::string inst = kEnumNt + "\\ORVT\\0";
        SetLong(HKEY_LOCAL_MACHINE, kServices + "\\!orvt\\Enum", "Count", 1);
        SetText(HKEY_LOCAL_MACHINE, kServices + "\\!orvt\\Enum", "0", "ORVT\\0");
        SetText(HKEY_LOCAL_MACHINE, inst, "Class", "OrvT");
        SetLong(HKEY_LOCAL_MACHINE, inst, "StatusFlags", 1);
        SetRaw(HKEY_LOCAL_MACHINE, inst, "Problem", row.type, row.bytes);
        Found f = Find("OrvT", 0);
        Check(f.found && f.status == problemNt[i],
              "NT Problem" + tag + " gives " + std::to_string(f.status));
        SetRaw(HKEY_LOCAL_MACHINE, inst, "StatusFlags", row.type, row.bytes);
        Check(Find("OrvT", 0).found == flagsCount[i], "StatusFlags" + tag);

        SetText(HKEY_LOCAL_MACHINE, kNet + "\\79", "Title", "Orvane hidden");
        SetRaw(HKEY_LOCAL_MACHINE, kNet + "\\79", "Hidden", row.type, row.bytes);
        Check(FindEndingWith("Net", "\\79").found == !hidden[i], "Hidden" + tag);

        for (int n = 0; n < 3; ++n) {
            SetText(HKEY_LOCAL_MACHINE, kServices + "\\!orvc\\Enum", std::to_string(n),
                    "ORVC\\" + std::to_string(n));
            SetText(HKEY_LOCAL_MACHINE, kEnumNt + "\\ORVC\\" + std::to_string(n), "Class", "OrvC");
            SetLong(HKEY_LOCAL_MACHINE, kEnumNt + "\\ORVC\\" + std::to_string(n), "StatusFlags", 1);
        }
        // The text "7" reads as 0x37 and the multi-sz as 0x37 too: bounded by the values held.
        SetRaw(HKEY_LOCAL_MACHINE, kServices + "\\!orvc\\Enum", "Count", row.type, row.bytes);
        int found = 0;
        while (found < 10 && Find("OrvC", found).found) ++found;
        Check(found == countFound[i], "Count" + tag + " finds " + std::to_string(found));

        SetRaw(HKEY_LOCAL_MACHINE, kCpu, "~MHz", row.type, row.bytes);
        LONG speed = -1;
        object->ProcessorSpeed(1, &speed);
        Check(speed == mhz[i], "~MHz" + tag + " gives " + std::to_string(speed));
    }
    if (nt) {
        // A count claiming four billion instances costs what the key holds.
        SetLong(HKEY_LOCAL_MACHINE, kServices + "\\!orvc\\Enum", "Count", 0xFFFFFFFF);
        Found f;
        const double ms = TimeFind("OrvC", 100, &f);
        Check(!f.found, "Count 0xFFFFFFFF search ends");
        std::printf("figure: services walk, Count 0xFFFFFFFF over 3 instances, failing search: %.2f ms\n", ms);
        DeleteTree(HKEY_LOCAL_MACHINE, kServices + "\\!orvt");
        DeleteTree(HKEY_LOCAL_MACHINE, kServices + "\\!orvc");
        DeleteTree(HKEY_LOCAL_MACHINE, kNet + "\\79");
    } else {
        DeleteTree(HKEY_DYN_DATA, kList + "\\!P");
    }
}

// ---- A chain deeper than any path -------------------------------------------------------

void DeepChains() {
    const int depth = 1000;
    const std::string base = nt ? kMedia + "\\deep" : std::string("Enum\\DEEP");
    // Built level by level through relative handles, so no path is ever long.
    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, base);
    std::string chain;
    int built = 0;
    for (int level = 1; level <= depth && key; ++level) {
        HKEY child = nullptr;
        if (RegCreateKeyExA(key, "d", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr) !=
            ERROR_SUCCESS)
            break;
        RegCloseKey(key);
        key = child;
        chain += level == 1 ? "d" : "\\d";
        built = level;
        const bool candidate = nt ? level == 100 || level == 104 : level == 120 || level == 200;
        if (candidate) {
            const std::string text = "level " + std::to_string(level);
            RegSetValueExA(key, "Active", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
            RegSetValueExA(key, "Class", 0, REG_SZ, reinterpret_cast<const BYTE*>("OrvDeep"), 8);
            RegSetValueExA(key, nt ? "Description" : "DeviceDesc", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>(text.size() + 1));
        }
    }
    if (key) RegCloseKey(key);
    std::printf("figure: chain of %d levels built below %s\n", built, base.c_str());
    Check(built == depth, "a chain of 1000 levels can be built");
    if (nt) {
        // "...\MediaResources\deep" is 52 characters: level 103 is the last within 259.
        Found f;
        const double ms = TimeFind("Media", 0, &f);
        Check(f.found && f.key == base + "\\" + chain.substr(0, 199), "level 100 of the chain found");
        CheckText(Info(f.key, "", "DeviceDesc"), "level 100", "its description");
        const Found next = Find("Media", 1);
        Check(next.key.find("deep") == std::string::npos, "level 104 lies beyond reach");
        std::printf("figure: media search down a chain of %d levels (device 0 at level 100): %.2f ms\n",
                    built, ms);
        DeleteTree(HKEY_LOCAL_MACHINE, base);
        return;
    }
    // 9x: the device list names levels 120 and 200 of the chain. Both fit HWKey,
    // but Wine opens the key of level 120 (249 characters) and not that of 200.
    std::string hw = "DEEP";
    for (int level = 1; level <= 200; ++level) {
        hw += "\\d";
        if (level != 120 && level != 200) continue;
        SetText(HKEY_DYN_DATA, kList + "\\!DEEP" + std::to_string(level), "HardwareKey", hw);
    }
    const Found f = Find("OrvDeep", 0);
    Check(f.found && f.key.size() == 5 + 4 + 2 * 120, "the hardware key of level 120 is found");
    CheckText(Info(f.key, "", "DeviceDesc"), "level 120", "its description");
    Check(!Find("OrvDeep", 1).found, "the hardware key of level 200 is not opened");
    DeleteTree(HKEY_DYN_DATA, kList + "\\!DEEP120");
    DeleteTree(HKEY_DYN_DATA, kList + "\\!DEEP200");

    DeleteTree(HKEY_LOCAL_MACHINE, base);
}

// ---- Ten thousand devices ---------------------------------------------------------------

using many_devices::Numbered;

void Figures(const char* route, const char* deviceClass) {
    for (LONG n : {0, 100, 9999}) {
        Found f;
        const double ms = TimeFind(deviceClass, n, &f);
        Check(f.found && f.key.find(Numbered(n)) != std::string::npos,
              std::string(route) + " device " + std::to_string(n) + " is " + Numbered(n));
        std::printf("figure: %s, %s device %ld: %.2f ms\n", route, deviceClass,
                    static_cast<long>(n), ms);
    }
}

void ManyDevices() {
    const int count = 10000;
    many_devices::Seed(nt, count);
    if (nt) {
        Figures("media route (one key per device)", "Media");
        Figures("services walk (one value and instance key per device)", many_devices::kClass);
        Check(!Find(many_devices::kClass, count).found, "no device after the last");
        many_devices::RemoveNt();
        return;
    }
    Figures("9x device list (one entry and hardware key per device)", many_devices::kClass);
    Check(!Find(many_devices::kClass, count).found, "no device after the last");
}

using GetClassObjectRoutine = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: hostile_client DLL nt|9x\n");
        return 2;
    }
    nt = std::strcmp(argv[2], "9x") != 0;
    CoInitialize(nullptr);
    HMODULE module = LoadLibraryA(argv[1]);
    if (!module) {
        std::printf("cannot load %s\n", argv[1]);
        return 1;
    }
    auto getClassObject = reinterpret_cast<GetClassObjectRoutine>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    if (!getClassObject ||
        getClassObject(CLSID_CoDeZiVero, IID_IClassFactory, reinterpret_cast<void**>(&factory)) != S_OK ||
        factory->CreateInstance(nullptr, IID_IDeZiVero, reinterpret_cast<void**>(&object)) != S_OK) {
        std::printf("cannot create the object\n");
        return 1;
    }
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    std::printf("platform %lu, family %s\n", version.dwPlatformId, nt ? "nt" : "9x");
    Check((version.dwPlatformId == VER_PLATFORM_WIN32_NT) == nt, "the prefix runs the family asked for");

    CallerKeys();
    RoundTrips();
    LongTexts();
    WrongTypes();
    DeepChains();
    ManyDevices();

    object->Release();
    factory->Release();
    return tally::Summary("hostile_client");
}
