// The object's state as the tests seed and read it; the object keeps it
// private and names this struct its friend.
#pragma once

#include "object/co_dezivero.h"

namespace object {
struct StateAccess {
    static LONG& RefCount(CoDeZiVero& o) { return o.refCount_; }
    static DWORD& SafetyOptions(CoDeZiVero& o) { return o.safetyOptions_; }
    static IUnknown*& Outer(CoDeZiVero& o) { return o.outer_; }
    static char (&HWKey(CoDeZiVero& o))[kHWKeySize] { return o.HWKey_; }
    static LONG& DeviceStatus(CoDeZiVero& o) { return o.DeviceStatus_; }
    static sysinfo::HwInfoCore& Core(CoDeZiVero& o) { return o.core_; }
};
}  // namespace object
