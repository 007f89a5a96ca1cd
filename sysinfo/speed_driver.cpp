// Asks the processor-speed driver beside the library for the clock rate.
//
// Opening "\\.\<directory>\Rurovezo.zuv" on the 9x family loads the file as a
// dynamically loadable kernel driver; FILE_FLAG_DELETE_ON_CLOSE has the system
// unload it again when the handle closes, so each query loads it anew.
#include "sysinfo/speed_driver.h"

#include "platform/owned.h"
#include "platform/platform.h"
#include "sysinfo/bounded_text.h"
#include "sysinfo/module_directory.h"

namespace sysinfo {

namespace {

constexpr DWORD kSpeedRequest = 0x8000;

// False when the directory is unknown or the path would not fit.
bool FormDriverPath(char (&path)[MAX_PATH]) noexcept {
    const char* directory = ModuleDirectory();
    if (directory[0] == '\0') return false;
    return CopyText(path, "\\\\.\\") && AppendText(path, directory) &&
           AppendText(path, "\\Rurovezo.zuv");
}

}  // namespace

bool QuerySpeedDriver(LONG* value) noexcept {
    if (value == nullptr) return false;
    *value = 0;
    char path[MAX_PATH];
    if (!FormDriverPath(path)) return false;

    platform::DeviceFile driver(platform::CreateFileA(path, 0, 0, nullptr, OPEN_EXISTING,
                                                      FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!driver) return false;

    LONG answer = 0;
    DWORD returned = 0;
    const BOOL ok = platform::DeviceIoControl(driver.Get(), kSpeedRequest, nullptr, 0, &answer,
                                              sizeof(answer), &returned, nullptr);
    if (ok) *value = answer;
    return ok != FALSE;
}

}  // namespace sysinfo
