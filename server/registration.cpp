#include "server/registration.h"

namespace server {

HRESULT RegisterCoDeZiVero(bool) noexcept { return E_NOTIMPL; }
HRESULT RegisterServer() noexcept { return E_NOTIMPL; }
HRESULT UnregisterServer() noexcept { return S_OK; }

}  // namespace server
