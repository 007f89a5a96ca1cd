// The text members that answer from the object's own record, or not at all.
#include "object/member_answers.h"

namespace object {

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
