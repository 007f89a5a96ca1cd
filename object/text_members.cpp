// The members that answer text: each converts one core routine's buffer into
// a new wide string for the caller.
#include "object/member_answers.h"

namespace object {

using sysinfo::HwInfoCore;

HRESULT CoDeZiVero::get_OSName(BSTR* pbstrOSName) noexcept {
    return AnswerText(pbstrOSName, core_, &HwInfoCore::OSName);
}

HRESULT CoDeZiVero::get_OSVersion(BSTR* pbstrVersion) noexcept {
    return AnswerText(pbstrVersion, core_, &HwInfoCore::OSVersion);
}

HRESULT CoDeZiVero::get_CSD(BSTR* pbstrCSD) noexcept {
    return AnswerText(pbstrCSD, core_, &HwInfoCore::CSD);
}

HRESULT CoDeZiVero::get_ComputerName(BSTR* pbstrComputerName) noexcept {
    return AnswerText(pbstrComputerName, core_, &HwInfoCore::ComputerName);
}

HRESULT CoDeZiVero::get_SysDir(BSTR* pbstrSystemDir) noexcept {
    return AnswerText(pbstrSystemDir, core_, &HwInfoCore::SysDir);
}

HRESULT CoDeZiVero::get_WinDir(BSTR* pbstrWindowsDir) noexcept {
    return AnswerText(pbstrWindowsDir, core_, &HwInfoCore::WinDir);
}

HRESULT CoDeZiVero::get_RegOwnerName(BSTR* pbstrRegOwner) noexcept {
    return AnswerText(pbstrRegOwner, core_, &HwInfoCore::RegOwnerName);
}

HRESULT CoDeZiVero::get_RegOrganization(BSTR* pbstrRegOrganization) noexcept {
    return AnswerText(pbstrRegOrganization, core_, &HwInfoCore::RegOrganization);
}

HRESULT CoDeZiVero::get_RegID(BSTR* pbstrRegID) noexcept {
    return AnswerText(pbstrRegID, core_, &HwInfoCore::RegID);
}

HRESULT CoDeZiVero::get_MfgName(BSTR* pbstrMfgName) noexcept {
    return AnswerText(pbstrMfgName, core_, &HwInfoCore::MfgName);
}

HRESULT CoDeZiVero::get_MfgComputerModel(BSTR* pbstrMfgComputerModel) noexcept {
    return AnswerText(pbstrMfgComputerModel, core_, &HwInfoCore::MfgComputerModel);
}

HRESULT CoDeZiVero::get_CurrentHWProfile(BSTR* pbstrHWProfileName) noexcept {
    return AnswerText(pbstrHWProfileName, core_, &HwInfoCore::CurrentHWProfile);
}

HRESULT CoDeZiVero::get_HWKey(BSTR* pbstrHWKey) noexcept {
    if (!pbstrHWKey) return E_POINTER;
    return AnswerText(pbstrHWKey, HWKey_);
}

// CSDVersion and BootDrive share this one answer; it never writes the
// caller's string.
static HRESULT NotImplemented(BSTR* out) noexcept {
    return out ? E_NOTIMPL : E_POINTER;
}

HRESULT CoDeZiVero::get_CSDVersion(BSTR* pbstrCSDVersion) noexcept {
    return NotImplemented(pbstrCSDVersion);
}

HRESULT CoDeZiVero::get_BootDrive(BSTR* pbstrBootDrive) noexcept {
    return NotImplemented(pbstrBootDrive);
}

}  // namespace object
