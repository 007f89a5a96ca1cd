// The Windows versions a described machine can be, and where a 32-bit process
// under WOW64 finds the native (64-bit) registry view and system folder: a test
// describes what Windows keeps there and what the redirected copies hold.
#pragma once

#include <memory>
#include <string>

#include "tests/fake_machine/fake_machine.h"

namespace windows_machines {

enum class Windows { Win9x, Nt4, Win2000, Xp, Win7, Win10, Win11 };

inline std::unique_ptr<platform::fake::Machine> MakeWindows(Windows windows) {
    using platform::fake::Machine;
    switch (windows) {
    case Windows::Win9x: return Machine::Win9x();
    case Windows::Nt4: return Machine::Nt4();
    case Windows::Win2000: return Machine::Win2000();
    case Windows::Xp: return Machine::Xp();
    case Windows::Win7: return Machine::Win7();
    case Windows::Win10: return Machine::Win10();
    case Windows::Win11: return Machine::Win11();
    }
    return nullptr;
}

// How the process sits on the machine: a process of the build's own bitness on a
// Windows of that bitness, or (32-bit build only) a 32-bit process on 64-bit Windows.
enum class Process { Native, Wow64 };

constexpr bool kProcessIs64Bit = sizeof(void*) == 8;

inline bool UnderWow64(Process process) { return process == Process::Wow64 && !kProcessIs64Bit; }

// The described machine keeps the other registry view under "Wow6432Node": for a process
// under WOW64 that is the native view, for any other process the 32-bit copy.
inline std::string NativeRegistryPath(Process process, const std::string& hklmPath) {
    return UnderWow64(process) ? "HKLM\\Wow6432Node\\" + hklmPath : "HKLM\\" + hklmPath;
}
inline std::string RedirectedRegistryPath(Process process, const std::string& hklmPath) {
    return UnderWow64(process) ? "HKLM\\" + hklmPath : "HKLM\\Wow6432Node\\" + hklmPath;
}

// The native system folder and the one a 32-bit process's "system32" leads to.
inline std::string NativeSystemFolder(const platform::fake::Machine& m, Process process) {
    return UnderWow64(process) ? m.windowsDirectory + "\\Sysnative" : m.systemDirectory;
}

}  // namespace windows_machines
