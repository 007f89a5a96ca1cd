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

// The directory part of the module's file name: up to its last backslash, slash or colon,
// walked by characters so that a trail byte 0x5C of a double-byte code page splits nothing.
// The separator goes unless it follows the drive ("C:\" gives "C:"). False when the name is
// unavailable or has no separator.
bool TakeDirectory(char (&directory)[MAX_PATH]) noexcept {
    if (ReadModuleFileName(g_instance, directory) == 0) return false;
    char* nameStart = nullptr;
    for (char* c = directory; *c != '\0'; c = CharNextA(c)) {
        if (*c == '\\' || *c == '/' || *c == ':') nameStart = c + 1;
    }
    if (nameStart == nullptr) return false;
    char* end = nameStart;
    if (end[-1] != ':') --end;
    *end = '\0';
    return directory[0] != '\0';
}

}  // namespace

void SetModuleInstance(HMODULE instance) noexcept { g_instance = instance; }

HMODULE ModuleInstance() noexcept { return g_instance; }

DWORD ReadModuleFileName(HMODULE module, char (&path)[MAX_PATH]) noexcept {
    const DWORD length = platform::GetModuleFileNameA(module, path, MAX_PATH);
    // A full buffer means the name may be cut short, and on some systems unterminated.
    if (length >= MAX_PATH) SetLastError(ERROR_INSUFFICIENT_BUFFER);
    if (length == 0 || length >= MAX_PATH) {
        path[0] = '\0';
        return 0;
    }
    path[length] = '\0';
    return length;
}

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
