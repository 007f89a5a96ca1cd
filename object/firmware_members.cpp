// The firmware members, from the values Windows keeps of the firmware's
// tables. Versions, dates and board names together single a machine out
// among many, so a caller a host has declared untrusted (a web page) gets ""
// for them; the maker and the family say little and are answered to anyone.
#include "object/member_answers.h"
#include "sysinfo/firmware_text.h"

namespace object {

namespace {

enum class Audience { Anyone, TrustedCallers };

HRESULT AnswerFirmware(BSTR* out, const char* valueName, Audience audience,
                       bool untrustedCaller) noexcept {
    if (!out) return E_POINTER;
    char text[sysinfo::kAnswerTextSize] = "";
    const bool withheld = audience == Audience::TrustedCallers && untrustedCaller;
    if (withheld || !sysinfo::ReadFirmwareText(valueName, text, sizeof text)) text[0] = '\0';
    return AnswerText(out, text);
}

}  // namespace

HRESULT CoDeZiVero::get_BIOSVendor(BSTR* pbstrBIOSVendor) noexcept {
    return AnswerFirmware(pbstrBIOSVendor, "BIOSVendor", Audience::Anyone, ForUntrustedCaller());
}

HRESULT CoDeZiVero::get_BIOSVersion(BSTR* pbstrBIOSVersion) noexcept {
    return AnswerFirmware(pbstrBIOSVersion, "BIOSVersion", Audience::TrustedCallers,
                          ForUntrustedCaller());
}

HRESULT CoDeZiVero::get_BIOSReleaseDate(BSTR* pbstrBIOSReleaseDate) noexcept {
    return AnswerFirmware(pbstrBIOSReleaseDate, "BIOSReleaseDate", Audience::TrustedCallers,
                          ForUntrustedCaller());
}

HRESULT CoDeZiVero::get_SystemFamily(BSTR* pbstrSystemFamily) noexcept {
    return AnswerFirmware(pbstrSystemFamily, "SystemFamily", Audience::Anyone,
                          ForUntrustedCaller());
}

HRESULT CoDeZiVero::get_BaseBoardManufacturer(BSTR* pbstrBaseBoardManufacturer) noexcept {
    return AnswerFirmware(pbstrBaseBoardManufacturer, "BaseBoardManufacturer",
                          Audience::TrustedCallers, ForUntrustedCaller());
}

HRESULT CoDeZiVero::get_BaseBoardProduct(BSTR* pbstrBaseBoardProduct) noexcept {
    return AnswerFirmware(pbstrBaseBoardProduct, "BaseBoardProduct", Audience::TrustedCallers,
                          ForUntrustedCaller());
}

}  // namespace object
