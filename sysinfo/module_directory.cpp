// The directory of the library's own file, taken once per process.
//
// The cache's state goes 0 (empty) -> 1 (one thread filling) -> 2 (published).
// The name is cut in a buffer of the filling thread's own and copied into the
// cache before the state becomes 2, so no reader sees a half-cut name; a
// thread that arrives during the fill waits the few instructions it takes,
// sleeping 0 ms and then ever longer (the 9x family has no SwitchToThread,
// and only a real sleep lets a filler of lower priority run).
#include "sysinfo/module_directory.h"

#include <atomic>
#include <cstring>

#include "platform/platform.h"

namespace sysinfo {

namespace {

enum : int { kEmpty = 0, kFilling = 1, kFilled = 2 };
constexpr DWORD kLongestPause = 16;  // milliseconds

HMODULE g_instance = nullptr;
std::atomic<int> g_state{kEmpty};
char g_directory[MAX_PATH];
const char kNoDirectory[] = "";

// The directory part of the module's file name; false when the name is not
// available whole. A system may fill the buffer to its end without a
// terminator when the name is too long, so such a name counts as unavailable.
bool TakeDirectory(char (&directory)[MAX_PATH]) noexcept {
    const DWORD length = platform::GetModuleFileNameA(g_instance, directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    directory[length] = '\0';
    // The first character is never examined: a name whose only backslash leads it stays whole.
    for (DWORD i = length - 1; i > 0; --i) {
        if (directory[i] != '\\') continue;
        directory[i] = '\0';
        break;
    }
    return true;
}

// 0 ms gives up the time slice; then 1, 2, 4 ... milliseconds up to the longest pause.
DWORD NextPause(DWORD pause) noexcept {
    if (pause == 0) return 1;
    return pause < kLongestPause ? pause * 2 : kLongestPause;
}

}  // namespace

void SetModuleInstance(HMODULE instance) noexcept { g_instance = instance; }

HMODULE ModuleInstance() noexcept { return g_instance; }

const char* ModuleDirectory() noexcept {
    DWORD pause = 0;
    for (;;) {
        int state = g_state.load(std::memory_order_acquire);
        if (state == kFilled) return g_directory;
        if (state == kEmpty &&
            g_state.compare_exchange_strong(state, kFilling, std::memory_order_acq_rel)) {
            char directory[MAX_PATH];
            if (!TakeDirectory(directory)) {
                // Left empty, so a later query asks again.
                g_state.store(kEmpty, std::memory_order_release);
                return kNoDirectory;
            }
            std::memcpy(g_directory, directory, std::strlen(directory) + 1);
            g_state.store(kFilled, std::memory_order_release);
            return g_directory;
        }
        Sleep(pause);
        pause = NextPause(pause);
    }
}

void ForgetModuleDirectory() noexcept {
    g_directory[0] = '\0';
    g_state.store(kEmpty, std::memory_order_release);
}

}  // namespace sysinfo
