// Many devices of one class on every walk of a platform family, written into
// the registry of the running Wine session. Device i of each walk is named by
// i in five digits (Numbered), and every name sorts before what a prefix
// holds, so device i is found exactly where the walks meet it:
// - NT family, the media route: "MediaResources\!many\NNNNN", "Active" "1";
// - NT family, the services walk: the service "!many" names instance i as its
//   value "i", "Enum\ORVMANY\NNNNN" of class OrvMany with status flags 1;
// - 9x family: the device list entry "!MNNNNN" names the hardware key
//   "Enum\ORVMANY\NNNNN" of class OrvMany.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "registry_tree.h"

namespace many_devices {

constexpr char kClass[] = "OrvMany";
constexpr char kMedia[] = "SYSTEM\\CurrentControlSet\\Control\\MediaResources\\!many";
constexpr char kService[] = "System\\CurrentControlSet\\Services\\!many";
constexpr char kInstancesNt[] = "System\\CurrentControlSet\\Enum\\ORVMANY";
constexpr char kList[] = "Config Manager\\Enum";
constexpr char kHardware9x[] = "Enum\\ORVMANY";

inline std::string Numbered(int i) {
    char text[16];
    std::snprintf(text, sizeof text, "%05d", i);
    return text;
}

inline void SetText(HKEY key, const char* name, const std::string& text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

inline void SetLong(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// Creates name below parent, open for its values; null when it cannot.
inline HKEY AddKey(HKEY parent, const std::string& name) {
    HKEY k = nullptr;
    RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    return k;
}

inline void SeedNt(int count) {
    HKEY media = registry_tree::CreateKey(HKEY_LOCAL_MACHINE, kMedia);
    HKEY services = registry_tree::CreateKey(HKEY_LOCAL_MACHINE, std::string(kService) + "\\Enum");
    HKEY instances = registry_tree::CreateKey(HKEY_LOCAL_MACHINE, kInstancesNt);
    SetLong(services, "Count", static_cast<DWORD>(count));
    for (int i = 0; i < count; ++i) {
        const std::string name = Numbered(i);
        HKEY k = AddKey(media, name);
        SetText(k, "Active", "1");
        RegCloseKey(k);
        SetText(services, std::to_string(i).c_str(), "ORVMANY\\" + name);
        k = AddKey(instances, name);
        SetText(k, "Class", kClass);
        SetLong(k, "StatusFlags", 1);
        RegCloseKey(k);
    }
    RegCloseKey(media);
    RegCloseKey(services);
    RegCloseKey(instances);
}

inline void Seed9x(int count) {
    HKEY list = registry_tree::CreateKey(HKEY_DYN_DATA, kList);
    HKEY hardware = registry_tree::CreateKey(HKEY_LOCAL_MACHINE, kHardware9x);
    for (int i = 0; i < count; ++i) {
        const std::string name = Numbered(i);
        HKEY k = AddKey(list, "!M" + name);
        SetText(k, "HardwareKey", "ORVMANY\\" + name);
        RegCloseKey(k);
        k = AddKey(hardware, name);
        SetText(k, "Class", kClass);
        RegCloseKey(k);
    }
    RegCloseKey(list);
    RegCloseKey(hardware);
}

inline void Seed(bool nt, int count) {
    if (nt)
        SeedNt(count);
    else
        Seed9x(count);
}

inline void RemoveNt() {
    registry_tree::DeleteTree(HKEY_LOCAL_MACHINE, kMedia);
    registry_tree::DeleteTree(HKEY_LOCAL_MACHINE, kService);
    registry_tree::DeleteTree(HKEY_LOCAL_MACHINE, kInstancesNt);
}

}  // namespace many_devices
