// Loading a registration script from a module's resources and running it.
#include "server/registrar.h"

namespace server {

HRESULT RunRegistrar(const wchar_t*, UINT, const wchar_t*, bool, const ReplacementMap&) noexcept {
    return E_NOTIMPL;
}

HRESULT RunRegistrationScript(const char*, bool, const ReplacementMap&) noexcept {
    return E_NOTIMPL;
}

}  // namespace server
