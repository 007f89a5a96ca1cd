// IDispatch of the object, answered from the registered type library through
// the process-wide holder of IDeZiVero2's type information, which holds
// IDeZiVero's members too.
#include "object/co_dezivero.h"

#include "server/type_info_holder.h"

namespace object {

// A null count pointer is refused rather than written through.
HRESULT CoDeZiVero::GetTypeInfoCount(UINT* count) noexcept {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT CoDeZiVero::GetTypeInfo(UINT, LCID locale, ITypeInfo** info) noexcept {
    return server::DeZiVeroTypeInfo().GetTypeInfo(locale, info);
}

HRESULT CoDeZiVero::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID locale,
                                  DISPID* dispids) noexcept {
    return server::DeZiVeroTypeInfo().GetIDsOfNames(names, count, locale, dispids);
}

HRESULT CoDeZiVero::Invoke(DISPID dispid, REFIID, LCID locale, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argError) noexcept {
    return server::DeZiVeroTypeInfo().Invoke(static_cast<IDeZiVero2*>(this), dispid, locale, flags,
                                              params, result, exception, argError);
}

}  // namespace object
