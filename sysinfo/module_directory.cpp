// The directory of the library's own file, taken once per process
// (platform/first_fill.h): no caller sees the name before it is cut.
#include "sysinfo/module_directory.h"

#include "platform/first_fill.h"
#include "platform/platform.h"

namespace sysinfo {

namespace {

HMODULE g_instance = nullptr;
platform::FirstFill g_filled;
char g_directory[MAX_PATH];
const char kNoDirectory[] = "";

// The directory part of the module's file name; false when the name is not
// available whole. A system may fill the buffer to its end without a
// terminator when the name is too long, so such a name counts as unavailable.
bool TakeDirectory(char (&directory)[MAX_PATH]) noexcept {
    const DWORD length = platform::GetModuleFileNameA(g_instance, directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    directory[length] = '\0';
    // The first character is never examined: a name whose only backslash leads it stays whole.
    for (DWORD i = length - 1; i > 0; --i) {
        if (directory[i] != '\\') continue;
        directory[i] = '\0';
        break;
    }
    return true;
}

}  // namespace

void SetModuleInstance(HMODULE instance) noexcept { g_instance = instance; }

HMODULE ModuleInstance() noexcept { return g_instance; }

// A name that is not available leaves the record empty, so a later query asks again.
const char* ModuleDirectory() noexcept {
    if (!g_filled.Ensure([]() noexcept { return TakeDirectory(g_directory); })) return kNoDirectory;
    return g_directory;
}

void ForgetModuleDirectory() noexcept {
    g_filled.Forget();
    g_directory[0] = '\0';
}

}  // namespace sysinfo
