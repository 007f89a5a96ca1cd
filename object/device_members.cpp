// The device members: argument checks and the object's record of the last
// device found; the search itself lives in devices/.
//
// The texts a script hands in may be of any length; each is converted into a
// fixed buffer, and one that does not fit names no class, key or value the
// registry could hold, so the answer is "nothing found".
#include "devices/device_info.h"
#include "devices/device_query.h"
#include "object/ansi_text.h"
#include "object/co_dezivero.h"
#include "object/text_list.h"

namespace object {

namespace {

// A key path, subkey or value name handed to GetDeviceInfo.
constexpr DWORD kArgumentSize = 1040;

void Convert(const devices::DeviceValue& value, VARIANT* out) noexcept {
    switch (value.kind) {
    case devices::DeviceValue::Kind::Text:
        V_VT(out) = VT_BSTR;
        V_BSTR(out) = AnsiToBstr(value.bytes);
        break;
    case devices::DeviceValue::Kind::Number:
        V_VT(out) = VT_I4;
        V_I4(out) = value.number;
        break;
    case devices::DeviceValue::Kind::TextList:
        TextListArray(value.bytes, value.size, out);
        break;
    case devices::DeviceValue::Kind::None:
        break;
    }
}

}  // namespace

HRESULT CoDeZiVero::FindDevice(LONG lDeviceNumber, BSTR bstrDeviceClass,
                               VARIANT_BOOL* pbDeviceFound) noexcept {
    HWKey_[0] = '\0';
    if (!pbDeviceFound || !bstrDeviceClass || lDeviceNumber < 0) return E_POINTER;
    *pbDeviceFound = VARIANT_FALSE;

    char deviceClass[kHWKeySize];
    if (!WideToAnsi(bstrDeviceClass, deviceClass)) return S_OK;

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
    char key[kArgumentSize];
    char subkey[kArgumentSize];
    char askFor[kArgumentSize];
    if (!WideToAnsi(bstrHWKey, key) || !WideToAnsi(bstrSubkey, subkey) ||
        !WideToAnsi(bstrAskFor, askFor))
        return S_OK;
    devices::DeviceValue value;
    devices::ReadDeviceInfo(key, subkey, askFor, &value);
    Convert(value, pvValue);
    return S_OK;
}

}  // namespace object
