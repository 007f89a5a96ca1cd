// FirstFill: a process-wide record filled once, by the first thread that needs
// it, and read without a lock ever after: the platform record, the module
// directory, each class object, each module lock.
//
// The state goes 0 (empty) -> 1 (one thread filling) -> 2 (filled); what the
// filler writes is complete before the state becomes 2, so a reader that sees
// 2 sees the whole record. A fill that fails leaves the state 0 for a later
// caller to try again. A thread that arrives during a fill waits for it,
// sleeping 0 ms and then 1, 2, 4 ... up to 16 ms: the 9x family has no
// SwitchToThread, and only a real sleep lets a filler of lower priority run.
// The state is a std::atomic, whose exchange is the i486's own lock cmpxchg,
// not InterlockedCompareExchange, which Windows 95 does not export.
#pragma once

#include <windows.h>

#include <atomic>

namespace platform {

class FirstFill {
public:
    constexpr FirstFill() noexcept = default;

    bool Filled() const noexcept { return state_.load(std::memory_order_acquire) == kFilled; }

    // Runs fill (a routine () -> bool) unless the record is filled already;
    // true once the record is filled, false when this caller's fill failed.
    template <typename Fill>
    bool Ensure(Fill&& fill) noexcept {
        DWORD pause = 0;
        for (;;) {
            int state = state_.load(std::memory_order_acquire);
            if (state == kFilled) return true;
            if (state == kEmpty &&
                state_.compare_exchange_strong(state, kFilling, std::memory_order_acq_rel)) {
                const bool filled = fill();
                state_.store(filled ? kFilled : kEmpty, std::memory_order_release);
                return filled;
            }
            Sleep(pause);
            pause = pause == 0 ? 1 : (pause < kLongestPause ? pause * 2 : kLongestPause);
        }
    }

    // Empties a filled record, as an unload of the library does; false when
    // it was not filled.
    bool Forget() noexcept {
        int filled = kFilled;
        return state_.compare_exchange_strong(filled, kEmpty, std::memory_order_acq_rel);
    }

private:
    enum : int { kEmpty = 0, kFilling = 1, kFilled = 2 };
    static constexpr DWORD kLongestPause = 16;  // milliseconds

    std::atomic<int> state_{kEmpty};
};

}  // namespace platform
