// The registered component, created as a script host creates it: by its
// ProgID, through COM.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <cstdio>

#include "DeZIVero_h.h"

namespace bench {

// Null, after saying so, when the class is not registered or does not create.
inline IDeZiVero* CreateRegisteredObject() {
    CLSID clsid;
    IDeZiVero* object = nullptr;
    if (FAILED(CLSIDFromProgID(L"Orvane.VXR.ZEKO.HWInfo", &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDeZiVero,
                                reinterpret_cast<void**>(&object)))) {
        std::printf("cannot create the registered object\n");
        return nullptr;
    }
    return object;
}

}  // namespace bench
