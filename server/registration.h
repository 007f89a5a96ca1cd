// Self-registration: the class's registration script and the type library.
#pragma once

#include <windows.h>

namespace server {

// Runs the registration script of CoDeZiVero in register or unregister mode.
HRESULT RegisterCoDeZiVero(bool doRegister) noexcept;

HRESULT RegisterServer() noexcept;
HRESULT UnregisterServer() noexcept;

}  // namespace server
