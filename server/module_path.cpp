#include "server/module_path.h"

#include <cwchar>

#include "server/last_error_status.h"
#include "sysinfo/module_directory.h"

namespace server {

namespace {

bool IsSeparator(wchar_t c) noexcept { return c == L'\\' || c == L'/' || c == L':'; }

// Index just past the last separator (0 when there is none).
size_t FileNameStart(const wchar_t* path, size_t length) noexcept {
    for (size_t i = length; i > 0; --i) {
        if (IsSeparator(path[i - 1])) return i;
    }
    return 0;
}

}  // namespace

HRESULT ReadModulePath(HMODULE module, wchar_t (&path)[kModulePathSize]) noexcept {
    path[0] = L'\0';
    char narrow[kModulePathSize];
    if (sysinfo::ReadModuleFileName(module, narrow) == 0) return LastErrorStatus();
    if (MultiByteToWideChar(CP_ACP, 0, narrow, -1, path, kModulePathSize) == 0) {
        path[0] = L'\0';
        return LastErrorStatus();
    }
    return S_OK;
}

bool DoubleSingleQuotes(const wchar_t* text, wchar_t* out, size_t outSize) noexcept {
    if (outSize == 0) return false;
    size_t used = 0;
    for (const wchar_t* c = text; *c; ++c) {
        const size_t needed = *c == L'\'' ? 2 : 1;
        if (used + needed >= outSize) {
            out[0] = L'\0';
            return false;
        }
        out[used++] = *c;
        if (needed == 2) out[used++] = L'\'';
    }
    out[used] = L'\0';
    return true;
}

// Only a '.' of the file name counts: "C:\a.b\DeZIVero" gets ".tlb"
// appended, not its directory cut at "a".
bool TypeLibFallbackPath(const wchar_t* path, wchar_t* out, size_t outSize) noexcept {
    static constexpr wchar_t kExtension[] = L".tlb";
    constexpr size_t kExtensionLength = sizeof kExtension / sizeof kExtension[0] - 1;
    if (outSize == 0) return false;
    const size_t length = wcslen(path);
    const size_t nameStart = FileNameStart(path, length);
    size_t stem = length;
    for (size_t i = length; i > nameStart; --i) {
        if (path[i - 1] != L'.') continue;
        stem = i - 1;
        break;
    }
    if (stem + kExtensionLength >= outSize) {
        out[0] = L'\0';
        return false;
    }
    wmemcpy(out, path, stem);
    wmemcpy(out + stem, kExtension, kExtensionLength + 1);
    return true;
}

void DirectoryOf(const wchar_t* path, wchar_t* out, size_t outSize) noexcept {
    if (outSize == 0) return;
    size_t length = FileNameStart(path, wcslen(path));
    if (length >= outSize) length = 0;
    wmemcpy(out, path, length);
    out[length] = L'\0';
}

}  // namespace server
