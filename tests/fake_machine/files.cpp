// Where a described machine keeps its files and what its INI files say: the system and Windows
// directories, the module's own path, and INI files as sections of key and value text, read as
// GetPrivateProfileStringA reads them (name lists, defaults, truncation).
#include "tests/fake_machine/fake_machine.h"

#include <algorithm>
#include <cstring>

#include "platform/platform.h"
#include "tests/fake_machine/machine_state.h"

namespace platform::fake {

IniFile* Machine::Impl::FindIni(const std::string& path) {
    for (IniFile& f : inis)
        if (SameNoCase(f.path, path)) return &f;
    return nullptr;
}

Machine& Machine::Ini(const std::string& file, const std::string& section,
                      const std::string& key, const std::string& value) {
    std::lock_guard<std::mutex> lock(impl->mutex);
    IniFile* f = impl->FindIni(file);
    if (!f) {
        impl->inis.push_back(IniFile{file, {}});
        f = &impl->inis.back();
    }
    IniSection* s = nullptr;
    for (IniSection& candidate : f->sections)
        if (SameNoCase(candidate.name, section)) s = &candidate;
    if (!s) {
        f->sections.push_back(IniSection{section, {}});
        s = &f->sections.back();
    }
    for (auto& entry : s->entries)
        if (SameNoCase(entry.first, key)) {
            entry.second = value;
            return *this;
        }
    s->entries.emplace_back(key, value);
    return *this;
}

Machine& Machine::RemoveIni(const std::string& file) {
    std::lock_guard<std::mutex> lock(impl->mutex);
    auto& inis = impl->inis;
    inis.erase(std::remove_if(inis.begin(), inis.end(),
                              [&](const IniFile& f) { return SameNoCase(f.path, file); }),
               inis.end());
    return *this;
}

}  // namespace platform::fake

namespace platform {
namespace {

using fake::Call;
using fake::SetFailure;

// The directory functions: the length without terminator when the text fits, otherwise the
// size needed with the terminator, and nothing written.
UINT CopyDirectory(const std::string& text, LPSTR buffer, UINT size) {
    const UINT length = static_cast<UINT>(text.size());
    if (!buffer || size <= length) return length + 1;
    std::memcpy(buffer, text.c_str(), length + 1);
    return length;
}

}  // namespace

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
    Call call("GetSystemDirectoryA");
    if (!call.m) {
        SetFailure(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    return CopyDirectory(call.m->systemDirectory, buffer, size);
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    Call call("GetWindowsDirectoryA");
    if (!call.m) {
        SetFailure(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    return CopyDirectory(call.m->windowsDirectory, buffer, size);
}

DWORD GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size) {
    Call call("GetModuleFileNameA");
    if (!call.m) {
        SetFailure(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    const std::string& path = call.m->modulePath;
    const DWORD length = static_cast<DWORD>(path.size());
    if (!buffer || size == 0) {
        SetFailure(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (length < size) {
        std::memcpy(buffer, path.c_str(), length + 1);
        return length;
    }
    if (call.m->moduleNameTerminatedWhenTruncated) {
        std::memcpy(buffer, path.data(), size - 1);
        buffer[size - 1] = '\0';
    } else {
        std::memcpy(buffer, path.data(), size);
    }
    SetFailure(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

namespace {

// Copies text truncated to size-1 characters with a terminator; the count copied.
DWORD CopyTruncated(const std::string& text, LPSTR buffer, DWORD size) {
    const DWORD length = std::min(static_cast<DWORD>(text.size()), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return length;
}

// A list of names, each terminated, the whole ended by one more terminator; a list that does
// not fit is cut and ended with two terminators, and the count is size - 2.
DWORD CopyNameList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
    std::string list;
    for (const std::string& name : names) list += name + std::string(1, '\0');
    if (list.size() + 1 <= size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return static_cast<DWORD>(list.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer,
                               DWORD size, LPCSTR fileName) {
    Call call("GetPrivateProfileStringA");
    if (!buffer || size == 0) return 0;
    const fake::IniFile* file =
        (call.m && fileName) ? call.m->impl->FindIni(fileName) : nullptr;
    const fake::IniSection* found = nullptr;
    if (file && section)
        for (const auto& s : file->sections)
            if (fake::SameNoCase(s.name, section)) found = &s;
    if (!section) {
        std::vector<std::string> names;
        if (file)
            for (const auto& s : file->sections) names.push_back(s.name);
        return CopyNameList(names, buffer, size);
    }
    if (!key) {
        std::vector<std::string> names;
        if (found)
            for (const auto& e : found->entries) names.push_back(e.first);
        return CopyNameList(names, buffer, size);
    }
    // A file that exists answers with ERROR_SUCCESS, whether it holds the key or not.
    if (file) SetLastError(ERROR_SUCCESS);
    if (found)
        for (const auto& e : found->entries)
            if (fake::SameNoCase(e.first, key)) return CopyTruncated(e.second, buffer, size);
    std::string fallback = defaultText ? defaultText : "";
    while (!fallback.empty() && fallback.back() == ' ') fallback.pop_back();
    if (!file) SetFailure(ERROR_FILE_NOT_FOUND);
    return CopyTruncated(fallback, buffer, size);
}

}  // namespace platform
