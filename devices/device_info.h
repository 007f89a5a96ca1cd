// The bodies of GetDeviceInfo, HasSCSIBus and HasAGPBus after the object's
// argument checks.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace devices {

// pvValue already VariantInit'ed; fills it by the type read.
HRESULT GetDeviceInfo(BSTR bstrHWKey, BSTR bstrSubkey, BSTR bstrAskFor, VARIANT* pvValue) noexcept;
HRESULT HasSCSIBus(VARIANT_BOOL* pVal) noexcept;
HRESULT HasAGPBus(VARIANT_BOOL* pVal) noexcept;

}  // namespace devices
