// Processor identification, MMX text, vendor and clock rate, for processor
// numbers counted from 1.
//
// Identification comes from the system-information record taken at
// construction for the Intel x86 types, and from the registry for any other.
// Processor n's registry key has index n - 1. The clock rate is the registry's
// "~MHz" on the NT family and the speed driver's answer on the 9x family,
// rounded to a nominal rate when it lies close to one.
#include <windows.h>

#include "sysinfo/bounded_text.h"
#include "sysinfo/hw_info_core.h"
#include "sysinfo/platform_family.h"
#include "sysinfo/nominal_mhz.h"
#include "sysinfo/speed_driver.h"

namespace sysinfo {

namespace {

constexpr char kCentralProcessor[] = "Hardware\\Description\\System\\CentralProcessor";
// The prefix, a backslash, up to 10 digits and the terminator.
constexpr int kProcessorKeySize = 64;
static_assert(sizeof(kCentralProcessor) + 1 + 10 <= kProcessorKeySize, "key text fits");

struct FixedProcessorName {
    DWORD type;
    const char* name;
};

constexpr FixedProcessorName kFixedProcessorNames[] = {
    {PROCESSOR_INTEL_386, "386"},
    {PROCESSOR_INTEL_486, "486"},
};

constexpr WORD kPentiumProLevel = 6;
constexpr WORD kPentiumIIIModel = 0x0700;

struct VendorName {
    const char* identifier;
    const char* vendor;
};

constexpr VendorName kVendorNames[] = {
    {"GenuineIntel", "Intel"},
    {"AuthenticAMD", "AMD"},
    {"CyrixInstead", "Cyrix"},
};

void FormProcessorKey(LONG processor, char (&key)[kProcessorKeySize]) noexcept {
    wsprintfA(key, "%s\\%u", kCentralProcessor, static_cast<unsigned>(processor - 1));
}

bool IsValidProcessor(const SYSTEM_INFO& info, LONG processor) noexcept {
    return processor >= 1 && processor <= static_cast<LONG>(info.dwNumberOfProcessors);
}

}  // namespace

const char* HwInfoCore::ProcessorId(LONG processor) noexcept {
    processorId_[0] = '\0';
    if (!IsValidProcessor(systemInfo_, processor)) return processorId_;

    for (const FixedProcessorName& entry : kFixedProcessorNames) {
        if (systemInfo_.dwProcessorType != entry.type) continue;
        CopyText(processorId_, entry.name);
        return processorId_;
    }
    if (systemInfo_.dwProcessorType == PROCESSOR_INTEL_PENTIUM) {
        const char* name = "Pentium";
        if (systemInfo_.wProcessorLevel == kPentiumProLevel)
            name = (systemInfo_.wProcessorRevision & 0xFF00) == kPentiumIIIModel ? "Pentium III"
                                                                                 : "Pentium II";
        CopyText(processorId_, name);
        return processorId_;
    }
    char key[kProcessorKeySize];
    FormProcessorKey(processor, key);
    ReadHklmValue(key, "Identifier", processorId_, kTextSize);
    return processorId_;
}

const char* HwInfoCore::ProcessorMMXId(LONG processor) noexcept {
    processorMmx_[0] = '\0';
    if (!IsValidProcessor(systemInfo_, processor)) return processorMmx_;
    char key[kProcessorKeySize];
    FormProcessorKey(processor, key);
    ReadHklmValue(key, "MMXIdentifier", processorMmx_, kTextSize);
    return processorMmx_;
}

const char* HwInfoCore::ProcessorVendorId(LONG processor) noexcept {
    processorVendor_[0] = '\0';
    if (!IsValidProcessor(systemInfo_, processor)) return processorVendor_;
    char key[kProcessorKeySize];
    FormProcessorKey(processor, key);
    ReadHklmValue(key, "VendorIdentifier", processorVendor_, kTextSize);
    for (const VendorName& entry : kVendorNames) {
        if (lstrcmpiA(processorVendor_, entry.identifier) != 0) continue;
        CopyText(processorVendor_, entry.vendor);
        break;
    }
    return processorVendor_;
}

LONG HwInfoCore::ProcessorSpeed(LONG processor) noexcept {
    LONG measured = 0;
    if (!IsValidProcessor(systemInfo_, processor)) return 0;
    if (IsNtPlatform()) {
        char key[kProcessorKeySize];
        FormProcessorKey(processor, key);
        ReadHklmValue(key, "~MHz", &measured, sizeof(measured));
    } else {
        // The driver measures the machine's clock; the processor number plays no part.
        QuerySpeedDriver(&measured);
    }
    return NominalMhz(measured);
}

}  // namespace sysinfo
