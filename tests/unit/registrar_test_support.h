// What the registrar tests share: the component's registration script, the
// replacement map they run it with, and a run on a described machine.
#pragma once

#include <windows.h>

#include <string>

#include "server/registrar/registrar.h"
#include "tests/fake_machine/fake_machine.h"

namespace registrar_test {

// The same 705 bytes as resources/DeZIVero.rgs, line ends included.
inline constexpr char kComponentScript[] =
    "HKCR\r\n"
    "{\r\n"
    "\tOrvane.VXR.ZEKO.HWInfo.1 = s 'Orvane Hardware Finder Control'\r\n"
    "\t{\r\n"
    "\t\tCLSID = s '{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}'\r\n"
    "\t}\r\n"
    "\tOrvane.VXR.ZEKO.HWInfo = s 'Orvane Hardware Finder Control'\r\n"
    "\t{\r\n"
    "\t\tCLSID = s '{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}'\r\n"
    "\t\tCurVer = s 'Orvane.VXR.ZEKO.HWInfo.1'\r\n"
    "\t}\r\n"
    "\tNoRemove CLSID\r\n"
    "\t{\r\n"
    "\t\tForceRemove {7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25} = s 'Orvane Hardware Finder Control'\r\n"
    "\t\t{\r\n"
    "\t\t\tProgID = s 'Orvane.VXR.ZEKO.HWInfo.1'\r\n"
    "\t\t\tVersionIndependentProgID = s 'Orvane.VXR.ZEKO.HWInfo'\r\n"
    "\t\t\tForceRemove 'Programmable'\r\n"
    "\t\t\tInprocServer32 = s '%MODULE%'\r\n"
    "\t\t\t{\r\n"
    "\t\t\t\tval ThreadingModel = s 'Apartment'\r\n"
    "\t\t\t}\r\n"
    "\t\t\t'TypeLib' = s '{7A31C480-52E6-4B1F-A0D7-3C94E18B6F25}'\r\n"
    "\t\t}\r\n"
    "\t}\r\n"
    "}\r\n";
static_assert(sizeof(kComponentScript) - 1 == 705, "the script resource is 705 bytes");

inline constexpr char kClassKey[] = "HKCR\\CLSID\\{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}";

// Marker names of exactly 31 and 32 bytes, both in the map, so that only the
// length can refuse the longer one.
inline constexpr char kName31[] = "N234567890123456789012345678901";
inline constexpr char kName32[] = "N2345678901234567890123456789012";
static_assert(sizeof(kName31) - 1 == 31 && sizeof(kName32) - 1 == 32, "marker name lengths");

inline void FillMap(server::ReplacementMap& map, const wchar_t* module) {
    map.Add(L"Module", module);
    map.Add(L"N231567890123456789012345678901", L"decoy");  // differs from kName31 in one byte
    map.Add(L"N234567890123456789012345678901", L"thirty-one");
    map.Add(L"N2345678901234567890123456789012", L"thirty-two");
}

inline HRESULT RunOn(platform::fake::Machine& machine, const char* script, bool doRegister,
                   const wchar_t* module = L"MOD-PATH") {
    platform::fake::Scope scope(machine);
    server::ReplacementMap map;
    FillMap(map, module);
    return server::RunRegistrationScript(script, doRegister, map);
}

}  // namespace registrar_test
