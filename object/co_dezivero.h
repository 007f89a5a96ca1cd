// CoDeZiVero: the hardware-information object.
//
// One C++ class per interface: the object itself is IDeZiVero2, which extends
// IDeZiVero and also answers for IDeZiVero, IDispatch and IUnknown;
// SafetyOptions is its IObjectSafety.
// The member bodies live in object/ (one file per group of members), and so
// do its identity and aggregation (co_dezivero_identity.cpp), creation and
// destruction (co_dezivero.cpp), dispatch and safety options. Besides the COM
// share (interfaces, safety options, count, outer unknown) the object keeps
// the key and status of the last FindDevice and its HwInfoCore.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <objsafe.h>

#include <cstddef>

#include "DeZIVero_h.h"
#include "object/core_members.h"
#include "object/plain_members.h"
#include "sysinfo/hw_info_core.h"

namespace object {

constexpr DWORD kHWKeySize = 1040;

class CoDeZiVero final : public IDeZiVero2 {
public:
    // The instance creation routine of the class table. outer: the
    // controlling unknown, or null for a plain object. With an outer unknown
    // the caller must ask for IUnknown (the class object checks that) and
    // gets the aggregate's non-delegating unknown. Each living object holds
    // one module lock.
    static HRESULT Create(IUnknown* outer, REFIID iid, void** out) noexcept;

    // outer: the controlling unknown of an aggregate, or null.
    explicit CoDeZiVero(IUnknown* outer) noexcept;
    ~CoDeZiVero();
    CoDeZiVero(const CoDeZiVero&) = delete;
    CoDeZiVero& operator=(const CoDeZiVero&) = delete;

    // IUnknown: delegates to the outer unknown when aggregated.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;

    // IDispatch, answered from the registered type library.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* dispids) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) noexcept override;

    // IDeZiVero. The members that answer straight from a routine of the core
    // (object/core_members.h):
#define DEZIVERO_DECLARE_CORE_MEMBER(member, routine)                                       \
    HRESULT STDMETHODCALLTYPE member(AnswerOf<&sysinfo::HwInfoCore::routine>* out) noexcept \
        override;
    DEZIVERO_CORE_MEMBERS(DEZIVERO_DECLARE_CORE_MEMBER)
#undef DEZIVERO_DECLARE_CORE_MEMBER

    // The members of both interfaces that answer straight from a plain
    // routine below the object (object/plain_members.h):
#define DEZIVERO_DECLARE_PLAIN_MEMBER(member, routine) \
    HRESULT STDMETHODCALLTYPE member(AnswerOf<&routine>* out) noexcept override;
    DEZIVERO_PLAIN_MEMBERS(DEZIVERO_DECLARE_PLAIN_MEMBER)
#undef DEZIVERO_DECLARE_PLAIN_MEMBER

    // and the others, in interface-table order.
    HRESULT STDMETHODCALLTYPE get_CSDVersion(BSTR* pbstrCSDVersion) noexcept override;
    HRESULT STDMETHODCALLTYPE get_BootDrive(BSTR* pbstrBootDrive) noexcept override;
    HRESULT STDMETHODCALLTYPE get_BootMode(enum tagZEKO_BOOT_MODE* pBootMode) noexcept override;
    HRESULT STDMETHODCALLTYPE get_DebugEnabled(VARIANT_BOOL* pbDebugEnabled) noexcept override;
    HRESULT STDMETHODCALLTYPE ProcessorId(LONG lProcessor, BSTR* pbstrProcessorId) noexcept override;
    HRESULT STDMETHODCALLTYPE ProcessorMMXId(LONG lProcessor, BSTR* pbstrProcessorMMXId) noexcept override;
    HRESULT STDMETHODCALLTYPE ProcessorVendorId(LONG lProcessor,
                                                BSTR* pbstrProcessorVendorId) noexcept override;
    HRESULT STDMETHODCALLTYPE ProcessorSpeed(LONG lProcessor, LONG* plProcessorSpeed) noexcept override;
    HRESULT STDMETHODCALLTYPE get_DockedInfo(enum tagZEKO_DOCKINFO* pDockInfo) noexcept override;
    HRESULT STDMETHODCALLTYPE get_HWKey(BSTR* pbstrHWKey) noexcept override;
    HRESULT STDMETHODCALLTYPE get_DeviceStatus(LONG* plDevStatus) noexcept override;
    HRESULT STDMETHODCALLTYPE GetDeviceInfo(BSTR bstrHWKey, BSTR bstrSubkey, BSTR bstrAskFor,
                                            VARIANT* pvValue) noexcept override;
    HRESULT STDMETHODCALLTYPE FindDevice(LONG lDeviceNumber, BSTR bstrDeviceClass,
                                         VARIANT_BOOL* pbDeviceFound) noexcept override;
    HRESULT STDMETHODCALLTYPE FixedDiskSizeInMB(LONG lDiskNumber, LONG* plSize) noexcept override;

    // IDeZiVero2, in interface-table order; each answered afresh at every call.
    HRESULT STDMETHODCALLTYPE ProcessorName(LONG lProcessor, BSTR* pbstrProcessorName) noexcept override;
    HRESULT STDMETHODCALLTYPE get_BIOSVendor(BSTR* pbstrBIOSVendor) noexcept override;
    HRESULT STDMETHODCALLTYPE get_BIOSVersion(BSTR* pbstrBIOSVersion) noexcept override;
    HRESULT STDMETHODCALLTYPE get_BIOSReleaseDate(BSTR* pbstrBIOSReleaseDate) noexcept override;
    HRESULT STDMETHODCALLTYPE get_SystemFamily(BSTR* pbstrSystemFamily) noexcept override;
    HRESULT STDMETHODCALLTYPE get_BaseBoardManufacturer(BSTR* pbstrBaseBoardManufacturer) noexcept override;
    HRESULT STDMETHODCALLTYPE get_BaseBoardProduct(BSTR* pbstrBaseBoardProduct) noexcept override;

    // The non-delegating QueryInterface: IUnknown, then the interface table.
    HRESULT InnerQueryInterface(REFIID iid, void** out) noexcept;

    // The IUnknown an aggregated object hands its outer object: it alone
    // counts the object's references and decides its destruction.
    class NonDelegatingUnknown final : public IUnknown {
    public:
        explicit NonDelegatingUnknown(CoDeZiVero* owner) noexcept : owner_(owner) {}

        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
        ULONG STDMETHODCALLTYPE AddRef() noexcept override;
        ULONG STDMETHODCALLTYPE Release() noexcept override;

    private:
        CoDeZiVero* owner_;
    };

    // IObjectSafety: its IUnknown forwards to the object's.
    class SafetyOptions final : public IObjectSafety {
    public:
        explicit SafetyOptions(CoDeZiVero* owner) noexcept : owner_(owner) {}
        CoDeZiVero* Owner() const noexcept { return owner_; }

        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
        ULONG STDMETHODCALLTYPE AddRef() noexcept override;
        ULONG STDMETHODCALLTYPE Release() noexcept override;
        HRESULT STDMETHODCALLTYPE GetInterfaceSafetyOptions(REFIID iid, DWORD* supported,
                                                            DWORD* enabled) noexcept override;
        HRESULT STDMETHODCALLTYPE SetInterfaceSafetyOptions(REFIID iid, DWORD mask,
                                                            DWORD enabled) noexcept override;

    private:
        CoDeZiVero* owner_;
    };

    IObjectSafety* Safety() noexcept { return &safety_; }

    // Whether a host has declared the caller untrusted (a web page).
    bool ForUntrustedCaller() const noexcept {
        return (safetyOptions_ & INTERFACESAFE_FOR_UNTRUSTED_CALLER) != 0;
    }

private:
    // The unit tests seed and read the state through this (tests/unit/).
    friend struct StateAccess;

    // Counts one reference; the last one destroys the object.
    ULONG CountUp() noexcept;
    ULONG CountDown() noexcept;
    // Gives back the object's module lock, destroys it and frees its record.
    void Destroy() noexcept;

    // The COM share.
    SafetyOptions safety_{this};
    NonDelegatingUnknown inner_{this};
    DWORD safetyOptions_ = 0;
    LONG refCount_ = 0;         // plain: the object lives in one apartment
    IUnknown* outer_ = nullptr; // the controlling unknown when aggregated

    // The object's own state.
    char HWKey_[kHWKeySize];
    LONG DeviceStatus_;
    sysinfo::HwInfoCore core_;
};

// The object that owns a SafetyOptions interface.
inline CoDeZiVero* OwnerOf(CoDeZiVero::SafetyOptions* safety) noexcept { return safety->Owner(); }

}  // namespace object
