// What the unit tests share: the families a machine is described as, a
// fixture that binds one, the sentinels that show what a call did not write, the owner of the BSTRs a
// test hands in or gets back, the text conversions that check them, and the
// name of a parameterized row.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "sysinfo/platform_family.h"
#include "tests/fake_machine/fake_machine.h"

namespace test_support {

// ---- Families -------------------------------------------------------------

enum class Family { Nt, Win9x };

inline const char* FamilyName(Family family) { return family == Family::Nt ? "Nt" : "Win9x"; }

inline std::string FamilyParamName(const ::testing::TestParamInfo<Family>& info) {
    return FamilyName(info.param);
}

// A machine of the family with typical records and no registry content.
inline std::unique_ptr<platform::fake::Machine> MakeMachine(Family family) {
    return family == Family::Nt ? platform::fake::Machine::Nt()
                                : platform::fake::Machine::Win9x();
}

// A machine described by Describe, behind the seam for one test, with the
// platform record forgotten before and after; every key the test opened is
// closed again by its end.
template <std::unique_ptr<platform::fake::Machine> (*Describe)()>
class BoundMachineTest : public ::testing::Test {
protected:
    void SetUp() override { sysinfo::ForgetPlatformRecord(); }
    void TearDown() override {
        EXPECT_EQ(0, machine->OpenKeys());
        sysinfo::ForgetPlatformRecord();
    }
    std::unique_ptr<platform::fake::Machine> machine = Describe();
    platform::fake::Scope scope{*machine};
};

// ---- Sentinels: what a call must not write keeps these --------------------

inline constexpr DWORD kSentinel = 0xDEADBEEF;
inline constexpr LONG kLongSentinel = static_cast<LONG>(kSentinel);  // a status, a size, a rate
inline constexpr unsigned char kFill = 0xCC;  // every byte of a buffer the call must not touch

// A fake address that nobody may free or read: out-parameters are
// overwritten, never released.
inline void* const kSentinelPointer = reinterpret_cast<void*>(static_cast<uintptr_t>(kSentinel));
inline BSTR SentinelBstr() { return static_cast<BSTR>(kSentinelPointer); }

// True when every byte still holds kFill.
template <typename Byte>
bool Untouched(const Byte* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (static_cast<unsigned char>(bytes[i]) != kFill) return false;
    return true;
}

// ---- Text -----------------------------------------------------------------

// Each byte widened on its own: ASCII text as a script would pass it.
inline std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Each wide character cut to its low byte: an answer compared with ASCII text.
inline std::string Narrow(BSTR text) {
    std::string out;
    for (UINT i = 0; text && i < SysStringLen(text); ++i) out += static_cast<char>(text[i]);
    return out;
}

// ANSI text as the system code page reads it.
inline std::wstring FromCodePage(const std::string& ansi) {
    const int needed = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(needed > 0 ? needed : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], needed);
    wide.resize(wide.size() - 1);
    return wide;
}

// A BSTR the test owns: what a member hands out, or an argument.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::wstring& text)
        : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    explicit Bstr(const std::string& text) : Bstr(Widen(text)) {}
    Bstr(const char* text) : Bstr(Widen(text)) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    // The out-pointer for a member; frees what was held first.
    BSTR* Out() {
        SysFreeString(text_);
        text_ = nullptr;
        return &text_;
    }
    BSTR Get() const { return text_; }
    operator BSTR() const { return text_; }
    UINT Length() const { return SysStringLen(text_); }
    std::wstring Text() const {
        return text_ ? std::wstring(text_, SysStringLen(text_)) : L"<null>";
    }

private:
    BSTR text_ = nullptr;
};

// ---- Parameterized rows ---------------------------------------------------

// Names each instance after its row's `name`.
struct RowName {
    template <typename Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
        return info.param.name;
    }
};

}  // namespace test_support
