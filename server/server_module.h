// ServerModule: the one process-wide record of the library. It is started
// when the library is loaded and terminated when it is unloaded; everything
// module-wide (class objects, lock count, locks, the allocator's heaps, the
// termination list) lives here; the instance handle it records in sysinfo.
//
// The record is constant-initialised, so code that runs before the module
// was started (unit tests, a call ahead of attach) finds a usable lock count,
// locks that are created on first use and an allocator with a base heap made
// on demand.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "platform/first_fill.h"
#include "server/class_table.h"
#include "server/module_allocator.h"
#include "sysinfo/module_directory.h"

namespace server {

using TerminationRoutine = void (*)(DWORD_PTR argument) noexcept;

struct TerminationNode {
    TerminationRoutine routine;
    DWORD_PTR argument;
    TerminationNode* next;
};

// A critical section made on first use and deleted at termination.
class ModuleLock {
public:
    constexpr ModuleLock() noexcept = default;
    void Enter() noexcept;
    void Leave() noexcept;
    void Create() noexcept;
    void Delete() noexcept;

private:
    CRITICAL_SECTION section_{};
    platform::FirstFill created_;
};

// Holds a ModuleLock for one scope.
class ModuleLockGuard {
public:
    explicit ModuleLockGuard(ModuleLock& lock) noexcept : lock_(lock) { lock_.Enter(); }
    ~ModuleLockGuard() { lock_.Leave(); }
    ModuleLockGuard(const ModuleLockGuard&) = delete;
    ModuleLockGuard& operator=(const ModuleLockGuard&) = delete;

private:
    ModuleLock& lock_;
};

class ServerModule {
public:
    constexpr ServerModule() noexcept = default;
    ServerModule(const ServerModule&) = delete;
    ServerModule& operator=(const ServerModule&) = delete;

    void Start(HINSTANCE instance) noexcept;
    void Terminate() noexcept;

    // The one record of the handle is sysinfo's, which reads the library's own file.
    HINSTANCE Instance() const noexcept { return sysinfo::ModuleInstance(); }

    // Module locks: one for each living object, one while clients hold the
    // class object, one per outstanding LockServer(TRUE).
    LONG Lock() noexcept { return InterlockedIncrement(&lockCount_); }
    LONG Unlock() noexcept { return InterlockedDecrement(&lockCount_); }
    LONG LockCount() const noexcept { return lockCount_; }

    // The cached class object of class table entry `index`, or null; it is
    // created once, by its first fill.
    IUnknown*& ClassObject(size_t index) noexcept { return classObjects_[index]; }
    platform::FirstFill& ClassObjectFill(size_t index) noexcept { return classObjectFills_[index]; }

    // Adds a routine that termination runs, newest first. E_OUTOFMEMORY when
    // no node can be allocated.
    HRESULT AddTermination(TerminationRoutine routine, DWORD_PTR argument) noexcept;
    size_t TerminationCount() noexcept;

    ModuleLock typeInfoLock;  // also guards the termination list
    ModuleAllocator allocator;

private:
    void RunTerminationList() noexcept;

    volatile LONG lockCount_ = 0;
    IUnknown* classObjects_[kClassCount] = {};
    platform::FirstFill classObjectFills_[kClassCount];
    TerminationNode* terminationList_ = nullptr;
};

ServerModule& TheModule() noexcept;

}  // namespace server
