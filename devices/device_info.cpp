// GetDeviceInfo, HasSCSIBus and HasAGPBus below the object.
//
// The value is read into a zeroed buffer with one spare byte behind it, which
// bounds the text at the bytes the registry returned.
#include "devices/device_info.h"

#include "devices/device_query.h"
#include "devices/registry_value.h"
#include "devices/text_match.h"
#include "sysinfo/platform_family.h"

namespace devices {

namespace {

// A description as the probes read it.
constexpr DWORD kDescriptionSize = 260;

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
bool ProbeBus(Bus bus) noexcept {
    const BusProbe& probe = ProbeOf(bus);
    char key[kKeyPathSize];
    char description[kDescriptionSize + 1];
    LONG status = 0;
    for (LONG number = 0; number >= 0; ++number) {
        if (!FindDeviceKey(number, probe.deviceClass, key, kKeyPathSize, &status)) break;
        key[kKeyPathSize - 1] = '\0';
        DWORD type = REG_NONE;
        DWORD size = kDescriptionSize;
        if (!QueryDeviceValue(key, "", "DeviceDesc", &type, reinterpret_cast<BYTE*>(description),
                              &size))
            continue;
        if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
        description[size < kDescriptionSize ? size : kDescriptionSize] = '\0';
        if (FindSubstringNoCase(description, probe.pattern)) return true;
    }
    return false;
}

}  // namespace

void ReadDeviceInfo(const char* key, const char* subkey, const char* askFor,
                    DeviceValue* value) noexcept {
    value->kind = DeviceValue::Kind::None;
    BYTE* bytes = reinterpret_cast<BYTE*>(value->bytes);
    ZeroMemory(bytes, sizeof value->bytes);
    DWORD type = REG_NONE;
    DWORD size = kDeviceValueSize;
    if (!QueryDeviceValue(key, subkey, askFor, &type, bytes, &size)) return;
    value->size = size < kDeviceValueSize ? size : kDeviceValueSize;
    value->bytes[value->size] = '\0';

    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        value->kind = DeviceValue::Kind::Text;
        break;
    case REG_BINARY:
        if (size > sizeof(DWORD)) break;
        value->kind = DeviceValue::Kind::Number;
        value->number = LittleEndianLong(bytes, size);
        break;
    case REG_DWORD:
        // Whatever the count: the modem speed is a REG_DWORD of the description's length.
        value->kind = DeviceValue::Kind::Number;
        value->number = LittleEndianLong(bytes, sizeof(DWORD));
        break;
    case REG_MULTI_SZ:
        // Windows 2000 and later list a device's identifiers so; older answers stay empty.
        if (sysinfo::IsNt5OrLater()) value->kind = DeviceValue::Kind::TextList;
        break;
    default:
        break;
    }
}

bool HasSCSIBus() noexcept { return ProbeBus(Bus::Scsi); }
bool HasAGPBus() noexcept { return ProbeBus(Bus::Agp); }

}  // namespace devices
