// The device members: argument checks and the object's record of the last
// device found; the search itself lives in devices/.
#include "devices/device_info.h"
#include "devices/device_query.h"
#include "object/member_answers.h"
#include "sysinfo/ansi_text.h"

namespace object {

HRESULT CoDeZiVero::FindDevice(LONG lDeviceNumber, BSTR bstrDeviceClass,
                               VARIANT_BOOL* pbDeviceFound) noexcept {
    HWKey_[0] = '\0';
    if (!pbDeviceFound || !bstrDeviceClass || lDeviceNumber < 0) return E_POINTER;
    *pbDeviceFound = VARIANT_FALSE;

    // The class name comes from a script and may be of any length; the
    // buffer is fixed, and a name too long for it names no class.
    char deviceClass[kHWKeySize];
    if (!sysinfo::WideToAnsi(bstrDeviceClass, deviceClass)) return S_OK;

    if (!devices::FindDeviceKey(lDeviceNumber, deviceClass, HWKey_, kHWKeySize, &DeviceStatus_)) {
        HWKey_[0] = '\0';
        return S_OK;
    }
    HWKey_[kHWKeySize - 1] = '\0';  // the key is read back as text by HWKey
    *pbDeviceFound = VARIANT_TRUE;
    return S_OK;
}

// A null BSTR counts as missing here, although automation reads it as "".
HRESULT CoDeZiVero::GetDeviceInfo(BSTR bstrHWKey, BSTR bstrSubkey, BSTR bstrAskFor,
                                  VARIANT* pvValue) noexcept {
    if (!bstrHWKey || !bstrSubkey || !bstrAskFor || !pvValue) return E_POINTER;
    VariantInit(pvValue);
    return devices::GetDeviceInfo(bstrHWKey, bstrSubkey, bstrAskFor, pvValue);
}

HRESULT CoDeZiVero::get_HasSCSIBus(VARIANT_BOOL* pVal) noexcept {
    return AnswerFrom(pVal, devices::HasSCSIBus);
}

HRESULT CoDeZiVero::get_HasAGPBus(VARIANT_BOOL* pVal) noexcept {
    return AnswerFrom(pVal, devices::HasAGPBus);
}

}  // namespace object
