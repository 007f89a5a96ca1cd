// Which caller-given keys the device queries read.
//
// Only the given family's roots count, compared without regard to case, and
// the rest of the key must be one or more components joined by single
// backslashes. An empty component is refused because Wine folds "a\\b" into
// "a\b": "Enum\\" would open the root itself. "." and ".." are refused too,
// between backslashes or forward slashes, although no registry of either
// family treats them as more than names: no device key holds them. Forward
// slashes are otherwise ordinary characters of key names (a printer may be
// named "LaserJet 4/4M"). The text is walked by characters of the ANSI code
// page, so the trail byte of a double-byte character is never taken for a
// backslash, as the registry does not take it for one either.
#include "devices/device_key_check.h"

#include "devices/text_match.h"

namespace devices {

namespace {

bool IsDotPiece(const char* begin, const char* end) noexcept {
    const auto length = end - begin;
    return (length == 1 && begin[0] == '.') || (length == 2 && begin[0] == '.' && begin[1] == '.');
}

}  // namespace

bool IsPlainRelativePath(const char* path) noexcept {
    if (!path) return false;
    const char* component = path;
    const char* piece = path;
    for (const char* p = path;; p = CharNextA(p)) {
        const char c = *p;
        if (c == '\\' || c == '/' || c == '\0') {
            if (IsDotPiece(piece, p)) return false;
            piece = p + 1;
        }
        if (c == '\\' || c == '\0') {
            if (p == component) return false;
            component = p + 1;
        }
        if (c == '\0') return true;
    }
}

bool IsDeviceKeyOfFamily(const char* deviceKey, const DeviceFamily& family) noexcept {
    if (!deviceKey) return false;
    for (const char* root : family.keyRoots) {
        const int length = lstrlenA(root);
        // Equal over the root's length means the key is at least that long.
        if (CompareNoCaseN(deviceKey, root, static_cast<DWORD>(length)) != 0) continue;
        if (deviceKey[length] != '\\') continue;
        return IsPlainRelativePath(deviceKey + length + 1);
    }
    return false;
}

}  // namespace devices
