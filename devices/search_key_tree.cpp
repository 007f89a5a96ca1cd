// SearchKeyTree: a depth-first walk below a route's root, each key tested
// before its subkeys, in enumeration order at every level.
//
// The walk keeps its own stack of open keys instead of recursing, so a deep
// tree costs a few bytes per level rather than a frame with three path-sized
// buffers. All levels share one path buffer: a level's path is a prefix of
// the path of every key below it. A path that would pass 259 characters is
// skipped (neither tested nor searched), which also bounds the depth.
#include "devices/search_key_tree.h"

#include <utility>

#include "devices/config_manager.h"
#include "devices/instance_class.h"
#include "devices/registry_value.h"
#include "platform/platform.h"
#include "platform/registry_key.h"

namespace devices {

namespace {

// Each level adds at least a separator and one character to the path.
constexpr DWORD kMaxDepth = kKeyPathSize / 2 + 1;
// A value the search compares with what a candidate expects.
constexpr DWORD kCandidateTextSize = 260;

struct Level {
    platform::RegistryKey key;
    DWORD nextIndex = 0;
    DWORD pathLength = 0;
};

bool HasValueText(HKEY key, const KeyCandidate& candidate) noexcept {
    char value[kCandidateTextSize + 1];
    if (!ReadTextValue(key, candidate.valueName, value, kCandidateTextSize) &&
        !(candidate.otherName && ReadTextValue(key, candidate.otherName, value, kCandidateTextSize)))
        return false;
    if (value[0] == '\0') return false;
    return !candidate.expected || lstrcmpiA(value, candidate.expected) == 0;
}

// instancePath: the key's path below the root.
bool IsCandidate(HKEY key, const KeyCandidate& candidate, const char* instancePath) noexcept {
    if (!candidate.instancesOf) return HasValueText(key, candidate);
    if (!InstanceOfClass(key, candidate.expected, true, *candidate.instancesOf)) return false;
    return AskConfigManager(instancePath).presence != Presence::Absent;
}

bool IsHidden(HKEY key) noexcept {
    DWORD hidden = 0;
    DWORD size = sizeof hidden;
    if (!QueryValue(key, "Hidden", nullptr, &hidden, &size)) return false;
    return hidden != 0;
}

}  // namespace

bool SearchKeyTree(LONG* counter, const char* root, const KeyCandidate& candidate,
                   char* keyBuffer, DWORD keyBufferSize) noexcept {
    if (!counter || !root || !candidate.valueName || !keyBuffer) return false;
    if (candidate.instancesOf && !candidate.expected) return false;
    char path[kKeyPathSize] = {};
    if (!AppendToPath(path, root)) return false;

    Level levels[kMaxDepth];
    DWORD depth = 0;
    if (!levels[0].key.Open(HKEY_LOCAL_MACHINE, path)) return false;
    levels[0].pathLength = static_cast<DWORD>(lstrlenA(path));
    depth = 1;

    char name[kKeyPathSize];
    while (depth > 0) {
        Level& level = levels[depth - 1];
        path[level.pathLength] = '\0';
        if (platform::RegEnumKeyA(level.key.Get(), level.nextIndex++, name, sizeof name) !=
            ERROR_SUCCESS) {
            level.key.Close();
            --depth;
            continue;
        }
        name[kKeyPathSize - 1] = '\0';
        if (name[0] == '\0') continue;
        if (!AppendToPath(path, "\\") || !AppendToPath(path, name)) continue;

        platform::RegistryKey subkey;
        if (!subkey.Open(HKEY_LOCAL_MACHINE, path)) continue;
        const char* instancePath = path + levels[0].pathLength + 1;
        if (IsCandidate(subkey.Get(), candidate, instancePath) && !IsHidden(subkey.Get())) {
            if (*counter == 0) {
                keyBuffer[0] = '\0';
                return AppendToPath(keyBuffer, keyBufferSize, path);
            }
            --*counter;
        }
        if (depth == kMaxDepth) continue;
        Level& below = levels[depth];
        below.key = std::move(subkey);
        below.nextIndex = 0;
        below.pathLength = static_cast<DWORD>(lstrlenA(path));
        ++depth;
    }
    return false;
}

}  // namespace devices
