// ClassFactory: the class object of a class in the class table. The table
// keeps one reference of its own, which never holds the module; while
// clients hold any reference (count 2 or more) exactly one module lock is
// held for them.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "server/class_table.h"

namespace server {

class ClassFactory final : public IClassFactory {
public:
    // Creates a class object that makes instances with createInstance and
    // answers iid through out (count 1 on success).
    static HRESULT Create(CreateInstanceRoutine createInstance, REFIID iid, void** out) noexcept;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override;

private:
    explicit ClassFactory(CreateInstanceRoutine createInstance) noexcept;
    ~ClassFactory();
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;
    void Destroy() noexcept;

    volatile LONG count_ = 0;
    CRITICAL_SECTION lock_;
    CreateInstanceRoutine createInstance_;
};

}  // namespace server
