// The class's registration script, run from the built library's own
// resource against a described machine's registry: the entries it writes
// with a module path holding single quotes, and what unregistration leaves.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "server/registration.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;

#define CLASS_KEY "HKCR\\CLSID\\{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}"

// The build folder (the tests folder's parent).
std::string BuildFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path);
    text.resize(text.find_last_of("\\/"));
    text.resize(text.find_last_of("\\/"));
    return text;
}

class QuotedModulePath : public testing::Test {
protected:
    void SetUp() override {
        const std::string built = BuildFolder() + "\\DeZIVero.DLL";
        ASSERT_NE(GetFileAttributesA(built.c_str()), INVALID_FILE_ATTRIBUTES) << "no library at " << built;
        const std::string directory = BuildFolder() + "\\tests\\server unit 'quoted' O'Brien";
        CreateDirectoryA(directory.c_str(), nullptr);
        modulePath_ = directory + "\\DeZIVero.DLL";
        ASSERT_TRUE(CopyFileA(built.c_str(), modulePath_.c_str(), FALSE));
        machine_ = Machine::Nt();
        machine_->modulePath = modulePath_;
        scope_ = std::make_unique<Scope>(*machine_);
    }

    std::string Text(const std::string& key, const std::string& name) const {
        const platform::fake::Value* value = machine_->FindValue(key, name);
        if (!value) return "<missing>";
        if (value->type != REG_SZ) return "<type " + std::to_string(value->type) + ">";
        return std::string(value->bytes.c_str());
    }

    std::string modulePath_;
    std::unique_ptr<Machine> machine_;
    std::unique_ptr<Scope> scope_;
};

struct EntryRow {
    const char* key;
    const char* name;
    const char* text;  // null: the module path
};

const EntryRow kEntries[] = {
    {"HKCR\\Orvane.VXR.ZEKO.HWInfo.1", "", "Orvane Hardware Finder Control"},
    {"HKCR\\Orvane.VXR.ZEKO.HWInfo.1\\CLSID", "", "{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}"},
    {"HKCR\\Orvane.VXR.ZEKO.HWInfo", "", "Orvane Hardware Finder Control"},
    {"HKCR\\Orvane.VXR.ZEKO.HWInfo\\CLSID", "", "{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}"},
    {"HKCR\\Orvane.VXR.ZEKO.HWInfo\\CurVer", "", "Orvane.VXR.ZEKO.HWInfo.1"},
    {CLASS_KEY, "", "Orvane Hardware Finder Control"},
    {CLASS_KEY "\\ProgID", "", "Orvane.VXR.ZEKO.HWInfo.1"},
    {CLASS_KEY "\\VersionIndependentProgID", "", "Orvane.VXR.ZEKO.HWInfo"},
    {CLASS_KEY "\\InprocServer32", "", nullptr},
    {CLASS_KEY "\\InprocServer32", "ThreadingModel", "Apartment"},
    {CLASS_KEY "\\TypeLib", "", "{7A31C480-52E6-4B1F-A0D7-3C94E18B6F25}"},
};

TEST_F(QuotedModulePath, RegistrationWritesTheQuotesSingle) {
    ASSERT_EQ(server::RegisterCoDeZiVero(true), S_OK);
    for (const EntryRow& row : kEntries) {
        EXPECT_EQ(Text(row.key, row.name), row.text ? row.text : modulePath_) << row.key << " " << row.name;
    }
    EXPECT_TRUE(machine_->HasKey(CLASS_KEY "\\Programmable"));
    EXPECT_EQ(machine_->ValueNames(CLASS_KEY "\\Programmable").size(), 0u);
    EXPECT_EQ(machine_->ValueNames(CLASS_KEY "\\InprocServer32").size(), 2u);
    EXPECT_EQ(machine_->Subkeys(CLASS_KEY).size(), 5u);
    EXPECT_EQ(machine_->OpenKeys(), 0);
}

TEST_F(QuotedModulePath, UnregistrationLeavesOnlyTheSharedClassKey) {
    machine_->Sz("HKCR\\CLSID\\{00000000-1111-2222-3333-444444444444}", "", "another class");
    ASSERT_EQ(server::RegisterCoDeZiVero(true), S_OK);
    ASSERT_EQ(server::RegisterCoDeZiVero(false), S_OK);
    EXPECT_FALSE(machine_->HasKey("HKCR\\Orvane.VXR.ZEKO.HWInfo.1"));
    EXPECT_FALSE(machine_->HasKey("HKCR\\Orvane.VXR.ZEKO.HWInfo"));
    EXPECT_FALSE(machine_->HasKey(CLASS_KEY));
    EXPECT_TRUE(machine_->HasKey("HKCR\\CLSID"));
    EXPECT_TRUE(machine_->HasKey("HKCR\\CLSID\\{00000000-1111-2222-3333-444444444444}"));
    EXPECT_EQ(machine_->OpenKeys(), 0);
}

TEST_F(QuotedModulePath, RegisteringTwiceGivesTheSameRegistry) {
    ASSERT_EQ(server::RegisterCoDeZiVero(true), S_OK);
    const std::string once = machine_->Dump("HKCR");
    machine_->Sz(CLASS_KEY "\\Stale", "", "left by an older version");
    ASSERT_EQ(server::RegisterCoDeZiVero(true), S_OK);
    EXPECT_EQ(machine_->Dump("HKCR"), once);
}

// Beside the other build on 64-bit Windows (its class key in the other
// registry view, kept below "Wow6432Node" by the fake machine), unregistering
// this build removes its own class key and its own path of the type library
// only; what the two share stays for the other. Without such a registration,
// or in a 32-bit process that is not under WoW64, unregistration is whole.
#define OTHER_CLASS_KEY "HKCR\\Wow6432Node\\CLSID\\{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}"
#define TYPELIB_KEY "HKCR\\TypeLib\\{7A31C480-52E6-4B1F-A0D7-3C94E18B6F25}\\1.0"
#define INTERFACE_KEY "HKCR\\Interface\\{7A31C48C-52E6-4B1F-A0D7-3C94E18B6F25}"

struct SideBySideRow {
    const char* name;
    bool wow64;              // a 32-bit process under WoW64 (the 64-bit build always is beside one)
    const char* otherKey;    // what the other view holds
    bool keeps32, keeps64;   // whether the 32-bit and the 64-bit build keep the shared keys
};

const SideBySideRow kSideBySideRows[] = {
    {"OtherBuildRegisteredKeepsTheSharedKeys", true, OTHER_CLASS_KEY "\\InprocServer32", true, true},
    {"ClassKeyWithoutServerIsNoRegistration", true, OTHER_CLASS_KEY, false, false},
    {"OtherClassIsNoRegistration", true,
     "HKCR\\Wow6432Node\\CLSID\\{00000000-1111-2222-3333-444444444444}\\InprocServer32", false, false},
    {"NotUnderWow64TheOtherViewIsNotAsked", false, OTHER_CLASS_KEY "\\InprocServer32", false, true},
};

void PrintTo(const SideBySideRow& row, std::ostream* os) { *os << row.name; }

class SideBySide : public QuotedModulePath, public testing::WithParamInterface<SideBySideRow> {};

TEST_P(SideBySide, UnregistrationSparesWhatTheOtherBuildNeeds) {
    const SideBySideRow& row = GetParam();
    const bool keeps = sizeof(void*) == 8 ? row.keeps64 : row.keeps32;
    const char* own = sizeof(void*) == 8 ? "win64" : "win32";
    const char* other = sizeof(void*) == 8 ? "win32" : "win64";
    machine_->wow64 = row.wow64;
    ASSERT_EQ(server::RegisterCoDeZiVero(true), S_OK);
    machine_->Sz(row.otherKey, "", "C:\\Other\\DeZIVero.DLL");
    machine_->Sz(TYPELIB_KEY "\\0\\win32", "", "C:\\x86\\DeZIVero.DLL")
        .Sz(TYPELIB_KEY "\\0\\win64", "", "C:\\x64\\DeZIVero.DLL")
        .Sz(TYPELIB_KEY "\\FLAGS", "", "8")
        .Sz(TYPELIB_KEY "\\HELPDIR", "", "C:\\x64\\")
        .Sz(INTERFACE_KEY "\\TypeLib", "Version", "1.0");
    const std::string otherBefore = machine_->Dump("HKCR\\Wow6432Node");

    EXPECT_EQ(server::UnregisterServer(), S_OK);

    EXPECT_FALSE(machine_->HasKey(CLASS_KEY));
    EXPECT_EQ(machine_->Dump("HKCR\\Wow6432Node"), otherBefore) << "the other view is not written";
    EXPECT_EQ(machine_->HasKey("HKCR\\Orvane.VXR.ZEKO.HWInfo\\CurVer"), keeps);
    EXPECT_EQ(machine_->HasKey("HKCR\\Orvane.VXR.ZEKO.HWInfo.1\\CLSID"), keeps);
    if (keeps) {
        EXPECT_FALSE(machine_->HasKey(std::string(TYPELIB_KEY "\\0\\") + own));
        EXPECT_TRUE(machine_->HasKey(std::string(TYPELIB_KEY "\\0\\") + other));
        EXPECT_TRUE(machine_->HasKey(TYPELIB_KEY "\\FLAGS"));
        EXPECT_TRUE(machine_->HasKey(TYPELIB_KEY "\\HELPDIR"));
        EXPECT_TRUE(machine_->HasKey(INTERFACE_KEY "\\TypeLib"));
    }
    EXPECT_EQ(machine_->OpenKeys(), 0);
}

// The last path of the type library takes the empty locale key along.
TEST_F(QuotedModulePath, UnregistrationBesideTheOtherBuildTakesAnEmptyLocaleKeyAlong) {
    machine_->wow64 = true;
    const char* own = sizeof(void*) == 8 ? "win64" : "win32";
    machine_->Sz(OTHER_CLASS_KEY "\\InprocServer32", "", "C:\\Other\\DeZIVero.DLL");
    machine_->Sz(std::string(TYPELIB_KEY "\\0\\") + own, "", "C:\\Own\\DeZIVero.DLL");
    EXPECT_EQ(server::UnregisterServer(), S_OK);
    EXPECT_FALSE(machine_->HasKey(TYPELIB_KEY "\\0"));
    EXPECT_TRUE(machine_->HasKey(TYPELIB_KEY));
    EXPECT_EQ(machine_->OpenKeys(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, SideBySide, testing::ValuesIn(kSideBySideRows),
                         test_support::RowName());

}  // namespace
