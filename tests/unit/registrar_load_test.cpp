// Loading the script from a module's resources. The module is a copy of a
// system library with a "REGISTRY" resource added to it at test time, so the
// resource bytes carry no terminator of their own.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "registrar_test_support.h"
#include "server/registrar/registrar.h"
#include "tests/fake_machine/fake_machine.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;
using server::ReplacementMap;
using server::RunRegistrar;

class ScriptModule {
public:
    ScriptModule(const char* fileName, WORD id, const char* script) {
        wchar_t directory[MAX_PATH];
        GetTempPathW(MAX_PATH, directory);
        path_ = std::wstring(directory) + L"registrar_" + std::wstring(fileName, fileName + strlen(fileName));
        wchar_t system[MAX_PATH];
        GetSystemDirectoryW(system, MAX_PATH);
        if (!CopyFileW((std::wstring(system) + L"\\msacm32.dll").c_str(), path_.c_str(), FALSE)) return;
        HANDLE update = BeginUpdateResourceW(path_.c_str(), FALSE);
        if (!update) return;
        const BOOL added = UpdateResourceW(update, L"REGISTRY", MAKEINTRESOURCEW(id),
                                           MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                           const_cast<char*>(script),
                                           static_cast<DWORD>(strlen(script)));
        ready_ = EndUpdateResourceW(update, !added) && added;
    }
    ~ScriptModule() { DeleteFileW(path_.c_str()); }

    bool Ready() const { return ready_; }
    const wchar_t* Path() const { return path_.c_str(); }

private:
    std::wstring path_;
    bool ready_ = false;
};

HRESULT RunFrom(Machine& machine, const wchar_t* path, UINT id, const wchar_t* type, bool doRegister) {
    Scope scope(machine);
    ReplacementMap map;
    map.Add(L"Module", L"C:\\DeZIVero.DLL");
    return RunRegistrar(path, id, type, doRegister, map);
}

TEST(RegistrarLoad, RunsTheScriptResourceOfAModule) {
    ScriptModule module("component.dll", 101, registrar_test::kComponentScript);
    ASSERT_TRUE(module.Ready());
    Machine machine;
    EXPECT_EQ(S_OK, RunFrom(machine, module.Path(), 101, L"REGISTRY", true));
    EXPECT_TRUE(machine.HasKey(std::string(registrar_test::kClassKey) + "\\InprocServer32"));
    const platform::fake::Value* server =
        machine.FindValue(std::string(registrar_test::kClassKey) + "\\InprocServer32", "");
    ASSERT_NE(nullptr, server);
    EXPECT_EQ(std::string("C:\\DeZIVero.DLL") + '\0', server->bytes);

    EXPECT_EQ(S_OK, RunFrom(machine, module.Path(), 101, L"REGISTRY", false));
    EXPECT_EQ("HKCR\nHKCR\\CLSID\n", machine.Dump("HKCR"));
    EXPECT_EQ(0, machine.OpenKeys());
}

TEST(RegistrarLoad, ScriptEndsWithTheResourceData) {
    // The resource is followed by whatever the file holds next; a key entry
    // ending at the last byte must not read on into it.
    ScriptModule module("short.dll", 102, "HKCR { A = s 'v' } HKCR { B");
    ASSERT_TRUE(module.Ready());
    Machine machine;
    EXPECT_EQ(DISP_E_EXCEPTION, RunFrom(machine, module.Path(), 102, L"REGISTRY", true));
    EXPECT_EQ("HKCR\nHKCR\\A\nHKCR\\A :@ = REG_SZ \"v\"\n", machine.Dump("HKCR"));
}

TEST(RegistrarLoad, FailuresOfTheLoadAreSystemErrors) {
    ScriptModule module("other.dll", 101, registrar_test::kComponentScript);
    ASSERT_TRUE(module.Ready());
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    // Wine and Windows differ on which of two errors some of these give.
    struct Row {
        const char* name;
        const wchar_t* path;
        UINT id;
        const wchar_t* type;
        DWORD error;
        DWORD alternative;
    };
    const Row rows[] = {
        {"MissingFile", L"C:\\no such dir\\none.dll", 101, L"REGISTRY", ERROR_MOD_NOT_FOUND,
         ERROR_FILE_NOT_FOUND},
        {"ModuleWithoutResources", self, 101, L"REGISTRY", ERROR_RESOURCE_DATA_NOT_FOUND,
         ERROR_RESOURCE_TYPE_NOT_FOUND},
        {"OtherResourceType", module.Path(), 101, L"NOSUCHTYPE", ERROR_RESOURCE_TYPE_NOT_FOUND,
         ERROR_RESOURCE_TYPE_NOT_FOUND},
        {"OtherResourceNumber", module.Path(), 999, L"REGISTRY", ERROR_RESOURCE_NAME_NOT_FOUND,
         ERROR_RESOURCE_NAME_NOT_FOUND},
    };
    for (const Row& row : rows) {
        Machine machine;
        const HRESULT hr = RunFrom(machine, row.path, row.id, row.type, true);
        EXPECT_TRUE(hr == HRESULT_FROM_WIN32(row.error) || hr == HRESULT_FROM_WIN32(row.alternative))
            << row.name << " 0x" << std::hex << hr;
        EXPECT_EQ("HKCR\n", machine.Dump("HKCR")) << row.name;
    }
}

TEST(RegistrarLoad, NullArgumentsAreRefused) {
    ReplacementMap map;
    EXPECT_EQ(E_POINTER, RunRegistrar(nullptr, 101, L"REGISTRY", true, map));
    EXPECT_EQ(E_POINTER, RunRegistrar(L"x.dll", 101, nullptr, true, map));
    EXPECT_EQ(E_POINTER, server::RunRegistrationScript(nullptr, true, map));
}

}  // namespace
