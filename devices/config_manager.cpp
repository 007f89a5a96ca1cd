// The configuration manager's functions come from cfgmgr32.dll or, on Windows
// 2000, from setupapi.dll; a pair is taken only from a library that has both.
#include "devices/config_manager.h"

#include "devices/registry_value.h"
#include "platform/system_function.h"

namespace devices {

namespace {

using Locate = DWORD(WINAPI*)(DWORD* node, char* deviceId, ULONG flags);
using GetStatus = DWORD(WINAPI*)(ULONG* status, ULONG* problem, DWORD node, ULONG flags);

constexpr DWORD kSuccess = 0x00;       // CR_SUCCESS
constexpr DWORD kNoSuchNode = 0x0D;    // CR_NO_SUCH_DEVNODE
constexpr ULONG kLocateNormal = 0x00;  // CM_LOCATE_DEVNODE_NORMAL
constexpr ULONG kHasProblem = 0x400;   // DN_HAS_PROBLEM

platform::SystemFunction<Locate> g_locate{"cfgmgr32.dll", "CM_Locate_DevNodeA"};
platform::SystemFunction<GetStatus> g_status{"cfgmgr32.dll", "CM_Get_DevNode_Status"};
platform::SystemFunction<Locate> g_locate2000{"setupapi.dll", "CM_Locate_DevNodeA"};
platform::SystemFunction<GetStatus> g_status2000{"setupapi.dll", "CM_Get_DevNode_Status"};

struct Functions {
    Locate locate;
    GetStatus status;
};

Functions ConfigManager() noexcept {
    Functions found{g_locate.Get(), g_status.Get()};
    if (found.locate && found.status) return found;
    found = {g_locate2000.Get(), g_status2000.Get()};
    if (found.locate && found.status) return found;
    return {nullptr, nullptr};
}

}  // namespace

DeviceNodeState AskConfigManager(const char* instancePath) noexcept {
    const Functions cm = ConfigManager();
    if (!cm.locate || !instancePath) return {Presence::Unknown, 0};
    // The function takes a writable text; it gets a copy of its own.
    char deviceId[kKeyPathSize] = {};
    if (!AppendToPath(deviceId, instancePath)) return {Presence::Unknown, 0};
    DWORD node = 0;
    const DWORD located = cm.locate(&node, deviceId, kLocateNormal);
    if (located == kNoSuchNode) return {Presence::Absent, 0};
    if (located != kSuccess) return {Presence::Unknown, 0};
    ULONG status = 0;
    ULONG problem = 0;
    if (cm.status(&status, &problem, node, 0) != kSuccess || !(status & kHasProblem))
        return {Presence::Present, 0};
    return {Presence::Present, static_cast<LONG>(problem)};
}

}  // namespace devices
