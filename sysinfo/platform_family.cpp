// The process-wide platform record behind IsNtPlatform.
//
// The record is filled once per process. Its state goes 0 (empty) -> 1 (one
// thread filling) -> 2 (published); the record is written before the state
// becomes 2, so a reader that sees 2 sees a complete record. A thread that
// arrives while another is filling asks the system for itself instead of
// waiting; the answer is the same.
#include "sysinfo/platform_family.h"

#include <atomic>

#include "platform/platform.h"

namespace sysinfo {

namespace {

enum : int { kEmpty = 0, kFilling = 1, kFilled = 2 };

std::atomic<int> g_state{kEmpty};
OSVERSIONINFOA g_version;

OSVERSIONINFOA AskVersion() noexcept {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    platform::GetVersionExA(&version);
    return version;
}

}  // namespace

bool IsNtPlatform() noexcept {
    if (g_state.load(std::memory_order_acquire) == kFilled)
        return g_version.dwPlatformId == VER_PLATFORM_WIN32_NT;

    int expected = kEmpty;
    if (!g_state.compare_exchange_strong(expected, kFilling, std::memory_order_acq_rel)) {
        if (expected == kFilled) return g_version.dwPlatformId == VER_PLATFORM_WIN32_NT;
        return AskVersion().dwPlatformId == VER_PLATFORM_WIN32_NT;
    }
    // A failed GetVersionExA leaves platform 0, which counts as not NT; it is not asked again.
    g_version = AskVersion();
    g_state.store(kFilled, std::memory_order_release);
    return g_version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void ForgetPlatformRecord() noexcept { g_state.store(kEmpty, std::memory_order_release); }

}  // namespace sysinfo
