#include "server/registrar_delete.h"

#include "platform/platform.h"
#include "server/module_allocator.h"

namespace server::registrar {

namespace {

constexpr DWORD kSubkeyNameSize = 256;

// One open key of the walk, with the name of its first subkey.
struct Level {
    HKEY key;
    char child[kSubkeyNameSize];
};

class Levels {
public:
    Levels() noexcept
        : levels_(static_cast<Level*>(ModuleAlloc(sizeof(Level) * kMaxDeleteLevels))) {}
    ~Levels() {
        if (!levels_) return;
        while (open_ > 0) platform::RegCloseKey(levels_[--open_].key);
        ModuleFree(levels_);
    }
    Levels(const Levels&) = delete;
    Levels& operator=(const Levels&) = delete;

    bool Allocated() const noexcept { return levels_ != nullptr; }
    size_t Open() const noexcept { return open_; }
    Level& Top() noexcept { return levels_[open_ - 1]; }

    LONG Push(HKEY parent, const char* name) noexcept {
        if (open_ == kMaxDeleteLevels) return ERROR_CANTOPEN;
        HKEY key = nullptr;
        const LONG status = platform::RegOpenKeyExA(parent, name, 0, KEY_READ | KEY_WRITE, &key);
        if (status != ERROR_SUCCESS) return status;
        levels_[open_].key = key;
        levels_[open_].child[0] = '\0';
        ++open_;
        return ERROR_SUCCESS;
    }

    void Pop() noexcept { platform::RegCloseKey(levels_[--open_].key); }

private:
    Level* levels_;
    size_t open_ = 0;
};

}  // namespace

LONG DeleteKeyTree(HKEY parent, const char* name) noexcept {
    Levels levels;
    if (!levels.Allocated()) return ERROR_NOT_ENOUGH_MEMORY;
    LONG status = levels.Push(parent, name);
    if (status != ERROR_SUCCESS) return status;
    for (;;) {
        Level& top = levels.Top();
        DWORD size = kSubkeyNameSize;
        if (platform::RegEnumKeyExA(top.key, 0, top.child, &size, nullptr, nullptr, nullptr,
                                    nullptr) == ERROR_SUCCESS) {
            if ((status = levels.Push(top.key, top.child)) != ERROR_SUCCESS) return status;
            continue;
        }
        // Nothing left to enumerate: the key is closed and deleted from the
        // level above, which named it as its first subkey.
        levels.Pop();
        if (levels.Open() == 0) return platform::RegDeleteKeyA(parent, name);
        Level& owner = levels.Top();
        if ((status = platform::RegDeleteKeyA(owner.key, owner.child)) != ERROR_SUCCESS)
            return status;
    }
}

}  // namespace server::registrar
