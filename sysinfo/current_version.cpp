#include "sysinfo/current_version.h"

#include <windows.h>

#include <climits>

#include "sysinfo/hklm_data.h"
#include "sysinfo/wow64.h"

namespace sysinfo {

const char kNtCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

namespace {

int BoundedSize(unsigned size) noexcept {
    return size > static_cast<unsigned>(INT_MAX) ? INT_MAX : static_cast<int>(size);
}

}  // namespace

bool ReadCurrentVersionValue(const char* valueName, void* out, unsigned size,
                             unsigned long* type) noexcept {
    DWORD stored = REG_NONE;
    if (!ReadHklmData(kNtCurrentVersionKey, valueName, out, BoundedSize(size),
                      NativeRegistryView(), &stored))
        return false;
    if (type) *type = stored;
    return true;
}

bool ReadCurrentVersionText(const char* valueName, char* out, unsigned size) noexcept {
    return ReadHklmText(kNtCurrentVersionKey, valueName, out, BoundedSize(size),
                        NativeRegistryView());
}

bool ReadCurrentVersionNumber(const char* valueName, unsigned long& out) noexcept {
    DWORD number = 0;
    unsigned long type = REG_NONE;
    if (!ReadCurrentVersionValue(valueName, &number, sizeof number, &type) || type != REG_DWORD)
        return false;
    out = number;
    return true;
}

}  // namespace sysinfo
