// IDeZiVero2's members other than the firmware's: memory in megabytes, the
// release of the system, the machine's architecture, processor names and
// counts, and the battery's charge. Each asks the system at the call; none
// reads the records the core took when the object was made.
#include "object/member_answers.h"
#include "sysinfo/battery_percent.h"
#include "sysinfo/memory_in_mb.h"
#include "sysinfo/os_architecture.h"
#include "sysinfo/os_release.h"
#include "sysinfo/processor_counts.h"
#include "sysinfo/processor_name.h"

namespace object {

namespace {

using sysinfo::MemoryFigure;

HRESULT AnswerMemory(LONG* out, MemoryFigure figure) noexcept {
    if (!out) return E_POINTER;
    *out = sysinfo::MemoryInMB(figure);
    return S_OK;
}

// A reader that fails leaves its buffer empty: the answer is then "".
HRESULT AnswerRead(BSTR* out, bool (*read)(char* text, unsigned size) noexcept) noexcept {
    if (!out) return E_POINTER;
    char text[sysinfo::kAnswerTextSize] = "";
    if (!read(text, sizeof text)) text[0] = '\0';
    return AnswerText(out, text);
}

}  // namespace

HRESULT CoDeZiVero::get_MemoryTotalPhysInMB(LONG* plTotalPhysInMB) noexcept {
    return AnswerMemory(plTotalPhysInMB, MemoryFigure::TotalPhys);
}

HRESULT CoDeZiVero::get_MemoryAvailPhysInMB(LONG* plAvailPhysInMB) noexcept {
    return AnswerMemory(plAvailPhysInMB, MemoryFigure::AvailPhys);
}

HRESULT CoDeZiVero::get_MemoryTotalPageFileInMB(LONG* plTotalPageFileInMB) noexcept {
    return AnswerMemory(plTotalPageFileInMB, MemoryFigure::TotalPageFile);
}

HRESULT CoDeZiVero::get_MemoryAvailPageFileInMB(LONG* plAvailPageFileInMB) noexcept {
    return AnswerMemory(plAvailPageFileInMB, MemoryFigure::AvailPageFile);
}

HRESULT CoDeZiVero::get_OSBuild(BSTR* pbstrOSBuild) noexcept {
    return AnswerRead(pbstrOSBuild, sysinfo::ReadOSBuild);
}

HRESULT CoDeZiVero::get_OSDisplayVersion(BSTR* pbstrOSDisplayVersion) noexcept {
    return AnswerRead(pbstrOSDisplayVersion, sysinfo::ReadOSDisplayVersion);
}

HRESULT CoDeZiVero::get_OSEdition(BSTR* pbstrOSEdition) noexcept {
    return AnswerRead(pbstrOSEdition, sysinfo::ReadOSEdition);
}

HRESULT CoDeZiVero::get_OSArchitecture(BSTR* pbstrOSArchitecture) noexcept {
    if (!pbstrOSArchitecture) return E_POINTER;
    return AnswerText(pbstrOSArchitecture, sysinfo::OSArchitecture());
}

// The processor number goes to the reader unchecked, as for ProcessorId.
HRESULT CoDeZiVero::ProcessorName(LONG lProcessor, BSTR* pbstrProcessorName) noexcept {
    if (!pbstrProcessorName) return E_POINTER;
    char text[sysinfo::kAnswerTextSize] = "";
    if (!sysinfo::ReadProcessorName(lProcessor, text, sizeof text)) text[0] = '\0';
    return AnswerText(pbstrProcessorName, text);
}

HRESULT CoDeZiVero::get_ProcessorCoreCount(LONG* plProcessorCoreCount) noexcept {
    return AnswerFrom(plProcessorCoreCount, sysinfo::ProcessorCoreCount);
}

HRESULT CoDeZiVero::get_ProcessorLogicalCount(LONG* plProcessorLogicalCount) noexcept {
    return AnswerFrom(plProcessorLogicalCount, sysinfo::ProcessorLogicalCount);
}

HRESULT CoDeZiVero::get_BatteryLifePercent(LONG* plBatteryLifePercent) noexcept {
    return AnswerFrom(plBatteryLifePercent, sysinfo::BatteryLifePercent);
}

}  // namespace object
