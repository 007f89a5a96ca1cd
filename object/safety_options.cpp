// IObjectSafety: the object is safe for untrusted callers and untrusted data
// on every interface it answers. The options are only stored and reported.
#include "object/co_dezivero.h"
#include "platform/owned.h"

namespace object {

namespace {

constexpr DWORD kSupportedOptions = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;

// Whether the object (through its outer unknown when aggregated) answers iid.
HRESULT Answers(CoDeZiVero* object, REFIID iid) noexcept {
    platform::ComInterface<IUnknown> answered;
    const HRESULT hr = object->QueryInterface(iid, reinterpret_cast<void**>(&answered));
    if (SUCCEEDED(hr) && !answered) return E_NOINTERFACE;
    return hr;
}

}  // namespace

HRESULT CoDeZiVero::SafetyOptions::GetInterfaceSafetyOptions(REFIID iid, DWORD* supported,
                                                             DWORD* enabled) noexcept {
    if (!supported || !enabled) return E_POINTER;
    CoDeZiVero* object = OwnerOf(this);
    const HRESULT hr = Answers(object, iid);
    if (FAILED(hr)) {
        *supported = 0;
        *enabled = 0;
        return hr;
    }
    *supported = kSupportedOptions;
    *enabled = object->safetyOptions_;
    return hr;
}

HRESULT CoDeZiVero::SafetyOptions::SetInterfaceSafetyOptions(REFIID iid, DWORD mask,
                                                             DWORD enabled) noexcept {
    CoDeZiVero* object = OwnerOf(this);
    if (FAILED(Answers(object, iid))) return E_NOINTERFACE;
    if (mask & ~kSupportedOptions) return E_FAIL;
    object->safetyOptions_ = (object->safetyOptions_ & ~mask) | (enabled & mask);
    return S_OK;
}

}  // namespace object
