// The registry keys of the two device databases, each written here once: the
// class routes, the value remaps, the key check and the searches all name
// them from this list. Every path lies below HKEY_LOCAL_MACHINE except the
// 9x family's live device list, which lies below HKEY_DYN_DATA.
#pragma once

#include <cstddef>

namespace devices {

// The 9x family.
inline constexpr char kDeviceList9x[] = "Config Manager\\Enum";
inline constexpr char kHardwareRoot9x[] = "Enum";
inline constexpr char kDriverRoot9x[] = "System\\CurrentControlSet\\Services\\Class";

// The NT family.
inline constexpr char kScsiDeviceMap[] = "HARDWARE\\DEVICEMAP\\SCSI";
inline constexpr char kEnumTree[] = "System\\CurrentControlSet\\Enum";
inline constexpr char kNetworkCards[] =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
inline constexpr char kPrinters[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
inline constexpr char kMediaResources[] = "SYSTEM\\CurrentControlSet\\Control\\MediaResources";
inline constexpr char kServices[] = "System\\CurrentControlSet\\Services";
inline constexpr char kDriverRootNt[] = "System\\CurrentControlSet\\Control\\Class";

// A key's path with the backslash behind it: what every key below it begins with.
template <std::size_t N>
struct KeyPrefix {
    static constexpr std::size_t kLength = N;  // without the terminator
    char text[N + 1];
};

template <std::size_t N>
constexpr KeyPrefix<N> PrefixOf(const char (&path)[N]) noexcept {
    KeyPrefix<N> prefix{};
    for (std::size_t i = 0; i + 1 < N; ++i) prefix.text[i] = path[i];
    prefix.text[N - 1] = '\\';
    prefix.text[N] = '\0';
    return prefix;
}

// The driver keys, whose names the devices' "Driver" texts complete.
inline constexpr auto kDriverPrefix9x = PrefixOf(kDriverRoot9x);
inline constexpr auto kDriverPrefixNt = PrefixOf(kDriverRootNt);

}  // namespace devices
