// Owned: the one owner of what the component opens and must give back: a
// registry key (registry_key.h), a device file, a library, a COM interface.
// Move-only; it gives back what it holds when it goes away, through the
// platform seam that opened it (a COM interface through its own Release), so
// every path out of a routine closes what the routine opened. Closing keeps
// the thread's last error for the code that reports it. `&owner` gives back
// what was held so far and hands out the slot for an open call to fill.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/platform.h"

namespace platform {

template <typename Traits>
class Owned {
public:
    using Handle = typename Traits::Handle;

    Owned() noexcept = default;
    explicit Owned(Handle handle) noexcept : handle_(handle) {}
    ~Owned() { Close(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(other.Detach()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != std::addressof(other)) Reset(other.Detach());
        return *this;
    }

    Handle* operator&() noexcept {
        Close();
        return &handle_;
    }
    Handle Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Empty(); }

    // Gives back what was held, then holds handle.
    void Reset(Handle handle = Traits::Empty()) noexcept {
        Close();
        handle_ = handle;
    }
    // Hands what is held to the caller, who gives it back.
    Handle Detach() noexcept {
        const Handle handle = handle_;
        handle_ = Traits::Empty();
        return handle;
    }
    // False when the system refused to close what was held.
    bool Close() noexcept {
        if (handle_ == Traits::Empty()) return true;
        const DWORD error = GetLastError();
        const bool closed = Traits::Close(handle_);
        SetLastError(error);
        handle_ = Traits::Empty();
        return closed;
    }

private:
    Handle handle_ = Traits::Empty();
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static HKEY Empty() noexcept { return nullptr; }
    static bool Close(HKEY key) noexcept { return platform::RegCloseKey(key) == ERROR_SUCCESS; }
};

struct DeviceFileTraits {
    using Handle = HANDLE;
    static HANDLE Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static bool Close(HANDLE file) noexcept { return platform::CloseHandle(file) != FALSE; }
};

struct LibraryTraits {
    using Handle = HMODULE;
    static HMODULE Empty() noexcept { return nullptr; }
    static bool Close(HMODULE library) noexcept { return platform::FreeLibrary(library) != FALSE; }
};

template <typename Interface>
struct ComInterfaceTraits {
    using Handle = Interface*;
    static Interface* Empty() noexcept { return nullptr; }
    static bool Close(Interface* object) noexcept {
        object->Release();
        return true;
    }
};

// A device file from CreateFileA (a physical drive, the speed driver).
using DeviceFile = Owned<DeviceFileTraits>;
// A library from LoadLibraryA or LoadLibraryExA.
using Library = Owned<LibraryTraits>;
// One reference to a COM interface.
template <typename Interface>
using ComInterface = Owned<ComInterfaceTraits<Interface>>;

}  // namespace platform
