// The 32-bit and the 64-bit library side by side on 64-bit Windows. Each
// registers in its own registry view: the class key below HKCR\CLSID and the
// interface keys exist once per view, while the ProgIDs and the type
// library's key are one key that both views share (the type library keeps
// one path per system kind below it, "win32" and "win64"). While the other
// build stays registered, unregistering this one may remove only what
// belongs to this view alone.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace server {

// The access flag that reaches the other build's view: KEY_WOW64_32KEY for
// the 64-bit library, KEY_WOW64_64KEY for the 32-bit one under WoW64; 0 on
// 32-bit Windows, which has no other view.
REGSAM OtherRegistryView() noexcept;

// Whether the other view registers an in-process server for clsid.
bool OtherViewHoldsClass(const CLSID& clsid) noexcept;

// Deletes HKCR\CLSID\{clsid} with everything under it, in this build's view.
void DeleteOwnClassKey(const CLSID& clsid) noexcept;

// Deletes this build's path of the type library (TypeLib\{LIBID}\1.0\0\win64,
// say) and the locale key above it when nothing else is left there; the
// interface keys, flags and help directory stay for the other build.
void DeleteOwnTypeLibPath(const TLIBATTR& attributes) noexcept;

}  // namespace server
