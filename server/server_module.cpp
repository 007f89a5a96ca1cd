// Start and termination of the module record, its locks and its
// termination list.
#include "server/server_module.h"

#include <new>

#include "platform/owned.h"

namespace server {

namespace {
ServerModule g_module;
}  // namespace

ServerModule& TheModule() noexcept { return g_module; }

void ModuleLock::Create() noexcept {
    created_.Ensure([this]() noexcept {
        InitializeCriticalSection(&section_);
        return true;
    });
}

void ModuleLock::Delete() noexcept {
    if (created_.Forget()) DeleteCriticalSection(&section_);
}

void ModuleLock::Enter() noexcept {
    Create();
    EnterCriticalSection(&section_);
}

void ModuleLock::Leave() noexcept { LeaveCriticalSection(&section_); }

void ServerModule::Start(HINSTANCE instance) noexcept {
    sysinfo::SetModuleInstance(instance);
    lockCount_ = 0;
    terminationList_ = nullptr;
    typeInfoLock.Create();
    allocator.Start();
}

void ServerModule::Terminate() noexcept {
    for (size_t i = 0; i < kClassCount; ++i) {
        platform::ComInterface<IUnknown> cached(classObjects_[i]);
        classObjects_[i] = nullptr;
        classObjectFills_[i].Forget();
    }
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
