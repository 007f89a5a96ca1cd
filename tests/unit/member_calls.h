// Members of the object that keep no state of their own, as a script reaches
// them: each call through an object of its own, so that the device and disk
// tests check what a caller receives.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <memory>

#include "object/co_dezivero.h"

namespace test_support {

inline std::unique_ptr<object::CoDeZiVero> NewObject() {
    return std::make_unique<object::CoDeZiVero>(nullptr);
}

inline HRESULT DeviceInfo(BSTR key, BSTR subkey, BSTR askFor, VARIANT* value) {
    return NewObject()->GetDeviceInfo(key, subkey, askFor, value);
}

inline HRESULT HasSCSIBus(VARIANT_BOOL* answer) { return NewObject()->get_HasSCSIBus(answer); }

inline HRESULT HasAGPBus(VARIANT_BOOL* answer) { return NewObject()->get_HasAGPBus(answer); }

inline HRESULT FixedDiskSizeInMB(LONG disk, LONG* size) {
    return NewObject()->FixedDiskSizeInMB(disk, size);
}

inline HRESULT FixedDisksSizeInMB(LONG* size) { return NewObject()->get_FixedDisksSizeInMB(size); }

inline HRESULT FixedDisksFreeSpaceInMB(LONG* size) {
    return NewObject()->get_FixedDisksFreeSpaceInMB(size);
}

}  // namespace test_support
