// The processor members. The processor number goes to the routine
// unchecked: the routine decides what an invalid number answers.
#include "object/member_answers.h"
#include "sysinfo/processor_name.h"

namespace object {

using sysinfo::HwInfoCore;

static HRESULT AnswerProcessorText(BSTR* out, HwInfoCore& core, ProcessorTextRoutine routine,
                                   LONG processor) noexcept {
    if (!out) return E_POINTER;
    return AnswerText(out, (core.*routine)(processor));
}

HRESULT CoDeZiVero::ProcessorId(LONG lProcessor, BSTR* pbstrProcessorId) noexcept {
    return AnswerProcessorText(pbstrProcessorId, core_, &HwInfoCore::ProcessorId, lProcessor);
}

HRESULT CoDeZiVero::ProcessorMMXId(LONG lProcessor, BSTR* pbstrProcessorMMXId) noexcept {
    return AnswerProcessorText(pbstrProcessorMMXId, core_, &HwInfoCore::ProcessorMMXId, lProcessor);
}

HRESULT CoDeZiVero::ProcessorVendorId(LONG lProcessor, BSTR* pbstrProcessorVendorId) noexcept {
    return AnswerProcessorText(pbstrProcessorVendorId, core_, &HwInfoCore::ProcessorVendorId,
                               lProcessor);
}

HRESULT CoDeZiVero::ProcessorSpeed(LONG lProcessor, LONG* plProcessorSpeed) noexcept {
    if (!plProcessorSpeed) return E_POINTER;
    *plProcessorSpeed = core_.ProcessorSpeed(lProcessor);
    return S_OK;
}

// Asked at the call; the core's records take no part.
HRESULT CoDeZiVero::ProcessorName(LONG lProcessor, BSTR* pbstrProcessorName) noexcept {
    if (!pbstrProcessorName) return E_POINTER;
    char text[sysinfo::kAnswerTextSize] = "";
    if (!sysinfo::ReadProcessorName(lProcessor, text, sizeof text)) text[0] = '\0';
    return AnswerText(pbstrProcessorName, text);
}

}  // namespace object
