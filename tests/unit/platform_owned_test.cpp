// The one owner of keys, device files, libraries and COM interfaces: it gives
// back what it holds through the seam, exactly once, keeping the thread's
// last error; `&` gives back what was held before handing out the slot.
#include <gtest/gtest.h>

#include <windows.h>
#include <unknwn.h>

#include <utility>

#include "platform/owned.h"
#include "platform/platform.h"
#include "platform/registry_key.h"
#include "tests/fake_machine/fake_machine.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;

constexpr DWORD kCallersError = 4321;

class CountingUnknown final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++count); }
    ULONG STDMETHODCALLTYPE Release() override {
        SetLastError(ERROR_INVALID_HANDLE);  // what a careless Release might leave behind
        return static_cast<ULONG>(--count);
    }
    LONG count = 1;
};

TEST(PlatformOwned, KeyIsClosedThroughTheSeamKeepingTheLastError) {
    Machine machine;
    machine.Key("HKLM\\Software\\Orvane");
    Scope scope(machine);
    {
        platform::RegistryKey key;
        ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "Software\\Orvane"));
        EXPECT_TRUE(key);
        EXPECT_EQ(1, machine.OpenKeys());
        SetLastError(kCallersError);
    }
    EXPECT_EQ(kCallersError, GetLastError());
    EXPECT_EQ(0, machine.OpenKeys());
    EXPECT_EQ(1, machine.Calls("RegCloseKey"));
}

TEST(PlatformOwned, FailedOpenHoldsNothing) {
    Machine machine;
    Scope scope(machine);
    platform::RegistryKey key;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.OpenStatus(HKEY_LOCAL_MACHINE, "Software\\Absent", KEY_READ));
    EXPECT_FALSE(key);
    EXPECT_TRUE(key.Close());
    EXPECT_EQ(0, machine.Calls("RegCloseKey"));
}

TEST(PlatformOwned, CreateMakesTheKeyAndHoldsIt) {
    Machine machine;
    machine.Key("HKCR");
    Scope scope(machine);
    {
        platform::RegistryKey key;
        ASSERT_TRUE(key.Create(HKEY_CLASSES_ROOT, "Orvane", KEY_ALL_ACCESS));
        EXPECT_EQ(1, machine.OpenKeys());
    }
    EXPECT_TRUE(machine.HasKey("HKCR\\Orvane"));
    EXPECT_EQ(0, machine.OpenKeys());
}

TEST(PlatformOwned, AddressGivesBackWhatWasHeldFirst) {
    Machine machine;
    machine.Key("HKLM\\A").Key("HKLM\\B");
    Scope scope(machine);
    platform::RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "A"));
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "B"));
    EXPECT_EQ(1, machine.OpenKeys());
    key.Reset();
    EXPECT_EQ(0, machine.OpenKeys());
}

TEST(PlatformOwned, MovedKeyIsClosedOnceByItsNewOwner) {
    Machine machine;
    machine.Key("HKLM\\A");
    Scope scope(machine);
    {
        platform::RegistryKey moved;
        {
            platform::RegistryKey key;
            ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "A"));
            moved = std::move(key);
            EXPECT_FALSE(key);
        }
        EXPECT_EQ(1, machine.OpenKeys());
        EXPECT_TRUE(moved);
    }
    EXPECT_EQ(0, machine.OpenKeys());
    EXPECT_EQ(1, machine.Calls("RegCloseKey"));
}

TEST(PlatformOwned, DeviceFileIsClosedThroughTheSeam) {
    Machine machine;
    machine.physicalDrives[0] = {};
    Scope scope(machine);
    {
        platform::DeviceFile device(platform::CreateFileA("\\\\.\\physicaldrive0", 0, 0, nullptr,
                                                          OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(device);
        EXPECT_EQ(1, machine.OpenHandles());
    }
    EXPECT_EQ(0, machine.OpenHandles());
}

TEST(PlatformOwned, FailedDeviceFileHoldsNothing) {
    Machine machine;
    Scope scope(machine);
    {
        platform::DeviceFile device(platform::CreateFileA("\\\\.\\physicaldrive9", 0, 0, nullptr,
                                                          OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(device);
        EXPECT_EQ(INVALID_HANDLE_VALUE, device.Get());
    }
    EXPECT_EQ(0, machine.Calls("CloseHandle"));
}

TEST(PlatformOwned, LibraryIsFreedThroughTheSeam) {
    Machine machine;
    Scope scope(machine);
    {
        platform::Library kernel32(platform::LoadLibraryA("Kernel32.dll"));
        ASSERT_TRUE(kernel32);
    }
    EXPECT_EQ(1, machine.Calls("FreeLibrary"));
}

TEST(PlatformOwned, InterfaceIsReleasedOnceKeepingTheLastError) {
    CountingUnknown object;
    {
        platform::ComInterface<IUnknown> held(&object);
        SetLastError(kCallersError);
    }
    EXPECT_EQ(0, object.count);
    EXPECT_EQ(kCallersError, GetLastError());
}

TEST(PlatformOwned, DetachedInterfaceIsTheCallersToRelease) {
    CountingUnknown object;
    IUnknown* handed = nullptr;
    {
        platform::ComInterface<IUnknown> held(&object);
        handed = held.Detach();
        EXPECT_FALSE(held);
    }
    EXPECT_EQ(&object, handed);
    EXPECT_EQ(1, object.count);
}

TEST(PlatformOwned, SlotOfAnInterfaceReleasesWhatWasHeld) {
    CountingUnknown first, second;
    platform::ComInterface<IUnknown> held(&first);
    *&held = &second;
    EXPECT_EQ(0, first.count);
    EXPECT_EQ(&second, held.Get());
    held.Reset();
    EXPECT_EQ(0, second.count);
}

}  // namespace
