// The class's registration script, run from the built library's own
// resource against a described machine's registry: the entries it writes
// with a module path holding single quotes, and what unregistration leaves.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "server/registration.h"
#include "tests/fake_machine/fake_machine.h"

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

}  // namespace
