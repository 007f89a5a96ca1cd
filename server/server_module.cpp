// Start and termination of the module record, its locks and its
// termination list.
#include "server/server_module.h"

#include <new>

namespace server {

namespace {
ServerModule g_module;
}  // namespace

ServerModule& TheModule() noexcept { return g_module; }

void ModuleLock::Create() noexcept {
    for (;;) {
        const LONG seen = InterlockedCompareExchange(&state_, kCreating, kAbsent);
        if (seen == kReady) return;
        if (seen == kAbsent) {
            InitializeCriticalSection(&section_);
            InterlockedExchange(&state_, kReady);
            return;
        }
        Sleep(0);  // another thread is creating it right now
    }
}

void ModuleLock::Delete() noexcept {
    if (InterlockedCompareExchange(&state_, kAbsent, kReady) != kReady) return;
    DeleteCriticalSection(&section_);
}

void ModuleLock::Enter() noexcept {
    if (state_ != kReady) Create();
    EnterCriticalSection(&section_);
}

void ModuleLock::Leave() noexcept { LeaveCriticalSection(&section_); }

void ServerModule::Start(HINSTANCE instance) noexcept {
    instance_ = instance;
    lockCount_ = 0;
    terminationList_ = nullptr;
    classTableLock.Create();
    typeInfoLock.Create();
    allocator.Start();
}

void ServerModule::Terminate() noexcept {
    for (IUnknown*& classObject : classObjects_) {
        IUnknown* cached = classObject;
        classObject = nullptr;
        if (cached) cached->Release();
    }
    classTableLock.Delete();
    typeInfoLock.Delete();
    RunTerminationList();
    allocator.Stop();
}

HRESULT ServerModule::AddTermination(TerminationRoutine routine, DWORD_PTR argument) noexcept {
    void* memory = allocator.Allocate(sizeof(TerminationNode));
    if (!memory) return E_OUTOFMEMORY;
    auto* node = new (memory) TerminationNode{routine, argument, nullptr};
    ModuleLockGuard guard(typeInfoLock);
    node->next = terminationList_;
    terminationList_ = node;
    return S_OK;
}

size_t ServerModule::TerminationCount() noexcept {
    ModuleLockGuard guard(typeInfoLock);
    size_t count = 0;
    for (TerminationNode* node = terminationList_; node; node = node->next) ++count;
    return count;
}

void ServerModule::RunTerminationList() noexcept {
    while (TerminationNode* node = terminationList_) {
        terminationList_ = node->next;
        node->routine(node->argument);
        allocator.Free(node);
    }
}

}  // namespace server
