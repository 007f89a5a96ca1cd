#include "server/registrar/registrar_delete.h"

#include <new>
#include <utility>

#include "platform/platform.h"
#include "platform/registry_key.h"
#include "server/module_allocator.h"

namespace server::registrar {

namespace {

constexpr DWORD kSubkeyNameSize = 256;

// One open key of the walk, with the name of its first subkey.
struct Level {
    platform::RegistryKey key;
    char child[kSubkeyNameSize] = {};
};

// The open levels live in one block of the module's heap; each is made when
// its key opens and ends, closing the key, when the walk leaves it.
class Levels {
public:
    Levels() noexcept
        : levels_(static_cast<Level*>(ModuleAlloc(sizeof(Level) * kMaxDeleteLevels))) {}
    ~Levels() {
        if (!levels_) return;
        while (open_ > 0) Pop();
        ModuleFree(levels_);
    }
    Levels(const Levels&) = delete;
    Levels& operator=(const Levels&) = delete;

    bool Allocated() const noexcept { return levels_ != nullptr; }
    size_t Open() const noexcept { return open_; }
    Level& Top() noexcept { return levels_[open_ - 1]; }

    LONG Push(HKEY parent, const char* name) noexcept {
        if (open_ == kMaxDeleteLevels) return ERROR_CANTOPEN;
        platform::RegistryKey key;
        const LONG status = key.OpenStatus(parent, name, KEY_READ | KEY_WRITE);
        if (status != ERROR_SUCCESS) return status;
        new (&levels_[open_]) Level{std::move(key)};
        ++open_;
        return ERROR_SUCCESS;
    }

    void Pop() noexcept { levels_[--open_].~Level(); }

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
        if (platform::RegEnumKeyExA(top.key.Get(), 0, top.child, &size, nullptr, nullptr, nullptr,
                                    nullptr) == ERROR_SUCCESS) {
            if ((status = levels.Push(top.key.Get(), top.child)) != ERROR_SUCCESS) return status;
            continue;
        }
        // Nothing left to enumerate: the key is closed and deleted from the
        // level above, which named it as its first subkey.
        levels.Pop();
        if (levels.Open() == 0) return platform::RegDeleteKeyA(parent, name);
        Level& owner = levels.Top();
        if ((status = platform::RegDeleteKeyA(owner.key.Get(), owner.child)) != ERROR_SUCCESS)
            return status;
    }
}

}  // namespace server::registrar
