// GetDeviceInfo, HasSCSIBus and HasAGPBus after the object's argument checks.
//
// The three texts of GetDeviceInfo come from a script and may be of any
// length; each is converted into a fixed buffer, and one that does not fit
// names no key or value the registry could hold, so the answer is empty.
// The value is read into a zeroed buffer with one spare byte behind it, which
// bounds the text conversion at the bytes the registry returned.
#include "devices/device_info.h"

#include "devices/device_query.h"
#include "devices/multi_string.h"
#include "devices/text_match.h"
#include "sysinfo/ansi_text.h"
#include "sysinfo/platform_family.h"

namespace devices {

namespace {

constexpr DWORD kValueSize = 1040;
constexpr DWORD kArgumentSize = 1040;
constexpr DWORD kProbeSize = 260;

// The first four bytes, of which only the first count came from the registry;
// the others count as zero.
LONG LittleEndianLong(const BYTE* bytes, DWORD count) noexcept {
    BYTE word[4] = {};
    for (DWORD i = 0; i < 4 && i < count; ++i) word[i] = bytes[i];
    return static_cast<LONG>(static_cast<DWORD>(word[0]) | static_cast<DWORD>(word[1]) << 8 |
                             static_cast<DWORD>(word[2]) << 16 |
                             static_cast<DWORD>(word[3]) << 24);
}

enum class Bus { Scsi, Agp };

// A bus is present when a device of its class has the pattern in its description.
struct BusProbe {
    Bus bus;
    const char* deviceClass;
    const char* pattern;
};

constexpr BusProbe BusProbeTable[] = {
    {Bus::Scsi, "SCSIAdapter", "SCSI"},
    {Bus::Agp, "Display", "AGP"},
};

constexpr const BusProbe& ProbeOf(Bus bus) noexcept {
    return BusProbeTable[static_cast<int>(bus)];
}

static_assert(ProbeOf(Bus::Scsi).bus == Bus::Scsi && ProbeOf(Bus::Agp).bus == Bus::Agp,
              "the probes stand in the order of their buses");

// Quadratic on purpose: every device number restarts the platform's walk, as
// the search keeps no cursor between calls.
HRESULT ProbeBus(Bus bus, VARIANT_BOOL* pVal) noexcept {
    if (!pVal) return E_POINTER;
    const BusProbe& probe = ProbeOf(bus);
    char key[kProbeSize];
    char description[kProbeSize + 1];
    LONG status = 0;
    for (LONG number = 0; number >= 0; ++number) {
        if (!FindDeviceKey(number, probe.deviceClass, key, kProbeSize, &status)) break;
        key[kProbeSize - 1] = '\0';
        DWORD type = REG_NONE;
        DWORD size = kProbeSize;
        if (!QueryDeviceValue(key, "", "DeviceDesc", &type, reinterpret_cast<BYTE*>(description),
                              &size))
            continue;
        if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
        description[size < kProbeSize ? size : kProbeSize] = '\0';
        if (FindSubstringNoCase(description, probe.pattern)) {
            *pVal = VARIANT_TRUE;
            return S_OK;
        }
    }
    *pVal = VARIANT_FALSE;
    return S_OK;
}

}  // namespace

HRESULT GetDeviceInfo(BSTR bstrHWKey, BSTR bstrSubkey, BSTR bstrAskFor, VARIANT* pvValue) noexcept {
    if (!bstrHWKey || !bstrSubkey || !bstrAskFor || !pvValue) return E_POINTER;
    char key[kArgumentSize];
    char subkey[kArgumentSize];
    char askFor[kArgumentSize];
    if (!sysinfo::WideToAnsi(bstrHWKey, key) || !sysinfo::WideToAnsi(bstrSubkey, subkey) ||
        !sysinfo::WideToAnsi(bstrAskFor, askFor))
        return S_OK;

    BYTE value[kValueSize + 1] = {};
    DWORD type = REG_NONE;
    DWORD size = kValueSize;
    if (!QueryDeviceValue(key, subkey, askFor, &type, value, &size)) return S_OK;

    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        value[size < kValueSize ? size : kValueSize] = 0;
        V_VT(pvValue) = VT_BSTR;
        V_BSTR(pvValue) = sysinfo::AnsiToBstr(reinterpret_cast<const char*>(value));
        break;
    case REG_BINARY:
        if (size > sizeof(DWORD)) break;
        V_VT(pvValue) = VT_I4;
        V_I4(pvValue) = LittleEndianLong(value, size);
        break;
    case REG_DWORD:
        // Whatever the count: the modem speed is a REG_DWORD of the description's length.
        V_VT(pvValue) = VT_I4;
        V_I4(pvValue) = LittleEndianLong(value, sizeof(DWORD));
        break;
    case REG_MULTI_SZ:
        // Windows 2000 and later list a device's identifiers so; older answers stay empty.
        if (sysinfo::IsNt5OrLater())
            MultiStringArray(value, size < kValueSize ? size : kValueSize, pvValue);
        break;
    default:
        break;
    }
    return S_OK;
}

HRESULT HasSCSIBus(VARIANT_BOOL* pVal) noexcept { return ProbeBus(Bus::Scsi, pVal); }
HRESULT HasAGPBus(VARIANT_BOOL* pVal) noexcept { return ProbeBus(Bus::Agp, pVal); }

}  // namespace devices
