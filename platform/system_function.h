// SystemFunction: a function that some of the systems the DLL runs on lack
// (GlobalMemoryStatusEx before Windows 2000, the configuration manager's
// CM_* functions before Windows 2000, SHLoadIndirectString before Vista),
// found by name at its first use and kept until the DLL unloads. Importing it
// instead would keep the whole DLL from loading on those systems.
//
// The library is loaded and the function looked up through the seam, so the
// unit tests' described machines decide whether a system has it. A slot is a
// process-wide object with constant initialisation (no static constructor,
// no destructor to run): declare it at namespace scope and call Get(). Each
// filled slot links itself into one list, which ForgetSystemFunctions walks
// when the DLL unloads, and the unit tests between two machines.
#pragma once

#include <windows.h>

#include <atomic>

#include "platform/first_fill.h"
#include "platform/platform.h"

namespace platform {

class FunctionSlot {
public:
    constexpr FunctionSlot(const char* library, const char* name) noexcept
        : library_(library), name_(name) {}
    FunctionSlot(const FunctionSlot&) = delete;
    FunctionSlot& operator=(const FunctionSlot&) = delete;

    // The function's address, or null when the system lacks the library or the function;
    // asked of the system once until the slot is forgotten.
    FARPROC Address() noexcept {
        filled_.Ensure([this]() noexcept {
            Link();
            module_ = platform::LoadLibraryA(library_);
            address_ = module_ ? platform::GetProcAddress(module_, name_) : nullptr;
            if (module_ && !address_) {
                platform::FreeLibrary(module_);
                module_ = nullptr;
            }
            return true;
        });
        return address_;
    }

    // Empties the slot; frees its library when freeLibrary (not while the process ends, when
    // the loader is tearing libraries down in its own order).
    void Forget(bool freeLibrary) noexcept {
        if (!filled_.Forget()) return;
        if (module_ && freeLibrary) platform::FreeLibrary(module_);
        module_ = nullptr;
        address_ = nullptr;
    }

    static FunctionSlot* First() noexcept { return head_.load(std::memory_order_acquire); }
    FunctionSlot* Next() const noexcept { return next_; }

private:
    // Into the list once for the life of the process; slots are never removed.
    void Link() noexcept {
        bool expected = false;
        if (!linked_.compare_exchange_strong(expected, true)) return;
        FunctionSlot* head = head_.load(std::memory_order_relaxed);
        do next_ = head;
        while (!head_.compare_exchange_weak(head, this, std::memory_order_release,
                                            std::memory_order_relaxed));
    }

    static inline std::atomic<FunctionSlot*> head_{nullptr};

    const char* library_;
    const char* name_;
    FirstFill filled_;
    std::atomic<bool> linked_{false};
    FunctionSlot* next_ = nullptr;
    HMODULE module_ = nullptr;
    FARPROC address_ = nullptr;
};

// A slot typed with the function's own pointer type, e.g.
//   platform::SystemFunction<decltype(&::GlobalMemoryStatusEx)>
//       kGlobalMemoryStatusEx{"kernel32.dll", "GlobalMemoryStatusEx"};
template <typename Function>
class SystemFunction {
public:
    constexpr SystemFunction(const char* library, const char* name) noexcept
        : slot_(library, name) {}

    // Null when the system lacks it.
    Function Get() noexcept {
        // Through void (*)(): GetProcAddress's type says nothing of the real signature.
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(slot_.Address()));
    }

private:
    FunctionSlot slot_;
};

// Forgets every slot filled so far: at unload (freeLibraries false while the process ends),
// and in the unit tests before another described machine is bound.
inline void ForgetSystemFunctions(bool freeLibraries) noexcept {
    for (FunctionSlot* slot = FunctionSlot::First(); slot; slot = slot->Next())
        slot->Forget(freeLibraries);
}

}  // namespace platform
