// Processor identification, MMX text, vendor and clock rate, for processor
// numbers counted from 1.
//
// Identification comes from the system-information record taken at
// construction for the Intel x86 types (for processors newer than its names,
// the name Windows keeps for the processor), and from the registry for any
// other.
// Processor n's registry key has index n - 1. The clock rate is the registry's
// "~MHz" on the NT family and the speed driver's answer on the 9x family,
// rounded to a nominal rate when it lies close to one.
#include <windows.h>

#include "sysinfo/bounded_text.h"
#include "sysinfo/hw_info_core.h"
#include "sysinfo/nominal_mhz.h"
#include "sysinfo/platform_family.h"
#include "sysinfo/processor_key.h"
#include "sysinfo/processor_name.h"
#include "sysinfo/speed_driver.h"
#include "sysinfo/text_lookup.h"

namespace sysinfo {

namespace {

struct FixedProcessorName {
    DWORD type;
    const char* name;
};

constexpr FixedProcessorName FixedProcessorNameTable[] = {
    {PROCESSOR_INTEL_386, "386"},
    {PROCESSOR_INTEL_486, "486"},
};

constexpr WORD kPentiumProLevel = 6;
constexpr WORD kPentiumIIIModel = 0x0700;

// The processors the names above describe, by the family (wProcessorLevel) and
// model (high byte of wProcessorRevision) GetSystemInfo reports, after Intel's
// and AMD's processor identification guides. Every other 586-type processor is
// newer: family 6 from the Pentium M (model 9) and Core (model 14) on, the
// Pentium 4 (family 15), and AMD's families 15 and later (Athlon 64 to Ryzen);
// so is every processor a 64-bit process sees (type 8664).
struct NamedGeneration {
    WORD firstLevel, lastLevel;
    BYTE firstModel, lastModel;
};

constexpr NamedGeneration NamedGenerationTable[] = {
    {0, 5, 0x00, 0xFF},  // Pentium and Pentium MMX, and the others of their family
    {6, 6, 0x00, 0x08},  // Pentium Pro (1), Pentium II (3, 5), Celeron (6), Pentium III (7, 8)
    {6, 6, 0x0A, 0x0B},  // Pentium III Xeon (10), Pentium III-S (11)
};

bool IsNewerThanTheNames(const SYSTEM_INFO& info) noexcept {
    if (info.dwProcessorType == PROCESSOR_AMD_X8664) return true;
    if (info.dwProcessorType != PROCESSOR_INTEL_PENTIUM) return false;
    const BYTE model = static_cast<BYTE>(info.wProcessorRevision >> 8);
    for (const NamedGeneration& row : NamedGenerationTable)
        if (info.wProcessorLevel >= row.firstLevel && info.wProcessorLevel <= row.lastLevel &&
            model >= row.firstModel && model <= row.lastModel)
            return false;
    return true;
}

// Vendor identifiers compare without regard to case.
constexpr TextRow VendorNameTable[] = {
    {"GenuineIntel", "Intel"},
    {"AuthenticAMD", "AMD"},
    {"CyrixInstead", "Cyrix"},
};

bool IsValidProcessor(const SYSTEM_INFO& info, LONG processor) noexcept {
    return processor >= 1 && processor <= static_cast<LONG>(info.dwNumberOfProcessors);
}

// Reads valueName of processor n's registry key, whose index is n - 1.
bool ReadProcessorValue(HwInfoCore& core, LONG processor, const char* valueName,
                        void* destination, int size) noexcept {
    ProcessorKeyText key;
    FormatProcessorKey(key, processor);
    return core.ReadHklmValue(key, valueName, destination, size);
}

// The text of valueName into an answer buffer; a number or binary value that
// fills it without a zero byte still ends at its last byte.
void ReadProcessorText(HwInfoCore& core, LONG processor, const char* valueName,
                       char (&text)[kAnswerTextSize]) noexcept {
    ReadProcessorValue(core, processor, valueName, text, kAnswerTextSize);
    text[kAnswerTextSize - 1] = '\0';
}

}  // namespace

const char* HwInfoCore::ProcessorId(LONG processor) noexcept {
    processorId_[0] = '\0';
    if (!IsValidProcessor(systemInfo_, processor)) return processorId_;
    // A newer processor goes by the name Windows shows for it, where there is one. The 9x
    // family leaves level and revision unset, so there the table answers as it always did.
    if (IsNtPlatform() && IsNewerThanTheNames(systemInfo_) &&
        ReadProcessorName(processor, processorId_, kAnswerTextSize))
        return processorId_;

    for (const FixedProcessorName& entry : FixedProcessorNameTable) {
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
    ReadProcessorText(*this, processor, "Identifier", processorId_);
    return processorId_;
}

const char* HwInfoCore::ProcessorMMXId(LONG processor) noexcept {
    processorMmx_[0] = '\0';
    if (IsValidProcessor(systemInfo_, processor))
        ReadProcessorText(*this, processor, "MMXIdentifier", processorMmx_);
    return processorMmx_;
}

const char* HwInfoCore::ProcessorVendorId(LONG processor) noexcept {
    processorVendor_[0] = '\0';
    if (!IsValidProcessor(systemInfo_, processor)) return processorVendor_;
    ReadProcessorText(*this, processor, "VendorIdentifier", processorVendor_);
    if (const char* vendor = LookUp(VendorNameTable, processorVendor_, lstrcmpiA))
        CopyText(processorVendor_, vendor);
    return processorVendor_;
}

LONG HwInfoCore::ProcessorSpeed(LONG processor) noexcept {
    LONG measured = 0;
    if (!IsValidProcessor(systemInfo_, processor)) return 0;
    if (IsNtPlatform()) {
        ReadProcessorValue(*this, processor, "~MHz", &measured, sizeof(measured));
    } else {
        // The driver measures the machine's clock; the processor number plays no part.
        QuerySpeedDriver(&measured);
    }
    return NominalMhz(measured);
}

}  // namespace sysinfo
