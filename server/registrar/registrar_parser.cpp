#include "server/registrar/registrar_parser.h"

#include "platform/system_function.h"
#include "platform/platform.h"
#include "platform/registry_key.h"
#include "server/registrar/registrar_delete.h"
#include "server/registrar/registrar_tables.h"

#include <oleauto.h>

#include <cstring>

namespace server::registrar {

namespace {

bool IsExactly(const char* token, const char* text) noexcept {
    return std::strcmp(token, text) == 0;
}

// What RegQueryInfoKeyA cannot tell counts as present, so an unreadable
// key is kept rather than deleted.
bool HasSubkeys(HKEY key) noexcept {
    DWORD subkeys = 0;
    if (platform::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return true;
    return subkeys != 0;
}

// A lone unnamed value does not count: it is the one a key entry's own
// assignment writes.
bool HasValues(HKEY key) noexcept {
    DWORD values = 0;
    if (platform::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return true;
    if (values != 1) return values > 1;
    char name[2];
    DWORD size = sizeof(name);
    if (platform::RegEnumValueA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
        return true;
    return size != 0;
}

int HexValue(const char* character, size_t bytes) noexcept {
    if (bytes != 1) return 0;
    const char c = *character;
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

// Copies a key name for later deletion; false when it does not fit whole,
// so a cut name never deletes some other key.
bool Remember(char (&slot)[kNameSize], const char* name, size_t length) noexcept {
    if (length > kMaxName) {
        slot[0] = '\0';
        return false;
    }
    std::memcpy(slot, name, length + 1);
    return true;
}

// Younger than the OLE Automation of Windows 95 and NT 4.0 (see WriteNumber).
platform::SystemFunction<decltype(&::VarUI4FromStr)> g_varUI4FromStr{"oleaut32.dll",
                                                                    "VarUI4FromStr"};

}  // namespace

HRESULT Parser::Run(bool doRegister) noexcept {
    HRESULT hr;
    for (;;) {
        reader_.SkipWhiteSpace();
        if (reader_.AtEnd()) return S_OK;
        if (FAILED(hr = reader_.Next())) return hr;
        const HKEY root = FindRootKey(reader_.Token());
        if (!root) return DISP_E_EXCEPTION;
        if (FAILED(hr = reader_.Next())) return hr;
        if (reader_.First() != '{') return DISP_E_EXCEPTION;
        if (!doRegister) {
            if (FAILED(hr = UnregisterBlock(root, 1))) return hr;
            continue;
        }
        const char* entries = reader_.Position();
        if (FAILED(hr = RegisterBlock(root, 1))) {
            reader_.Rewind(entries);
            UnregisterBlock(root, 1);
            return hr;
        }
    }
}

HRESULT Parser::RegisterBlock(HKEY parent, unsigned depth) noexcept {
    if (depth > kMaxBlockDepth) return DISP_E_EXCEPTION;
    HRESULT hr;
    platform::RegistryKey current;
    if (FAILED(hr = reader_.Next())) return hr;
    while (reader_.First() != '}') {
        const Keyword keyword = FindKeyword(reader_.Token());
        if (keyword == Keyword::Val) {
            if (FAILED(hr = ReadValueEntry())) return hr;
            if (FAILED(hr = WriteValue(parent, valueName_))) return hr;
            continue;
        }
        if (FAILED(hr = ReadEntryName(keyword))) return hr;
        if ((keyword == Keyword::ForceRemove || keyword == Keyword::Delete) &&
            !IsNeverDeleted(reader_.Token()))
            DeleteKeyTree(parent, reader_.Token());
        if (keyword == Keyword::Delete) {
            if (FAILED(hr = reader_.Next())) return hr;
            if (FAILED(hr = PassOverAssignment())) return hr;
            continue;
        }

        if (!current.Open(parent, reader_.Token(), KEY_ALL_ACCESS) &&
            !current.Open(parent, reader_.Token(), KEY_READ) &&
            !current.Create(parent, reader_.Token(), KEY_ALL_ACCESS))
            return DISP_E_EXCEPTION;
        if (FAILED(hr = reader_.Next())) return hr;
        if (reader_.First() == '=' && FAILED(hr = WriteValue(current.Get(), ""))) return hr;
        if (IsExactly(reader_.Token(), "{")) {
            if (FAILED(hr = RegisterBlock(current.Get(), depth + 1))) return hr;
            if (FAILED(hr = reader_.Next())) return hr;
        }
    }
    return S_OK;
}

// Entered only for a key that could be opened; the skip state starts off.
HRESULT Parser::UnregisterBlock(HKEY parent, unsigned depth) noexcept {
    char(&name)[kNameSize] = keyNames_[depth];
    bool skip = false;
    bool noRemove = false;
    HRESULT hr;
    if (FAILED(hr = reader_.Next())) return hr;
    while (reader_.First() != '}') {
        const Keyword keyword = FindKeyword(reader_.Token());
        if (keyword == Keyword::Val) {
            if (FAILED(hr = ReadValueEntry())) return hr;
            if (!skip) platform::RegDeleteValueA(parent, valueName_);
            if (FAILED(hr = PassOverAssignment())) return hr;
            continue;
        }
        if (keyword == Keyword::NoRemove) noRemove = true;
        if (FAILED(hr = ReadEntryName(keyword))) return hr;

        // Values of the key's block are deleted through this handle, which
        // read access alone would not allow.
        platform::RegistryKey key;
        if (!skip && !key.Open(parent, reader_.Token(), KEY_READ | KEY_WRITE) &&
            !key.Open(parent, reader_.Token(), KEY_READ))
            skip = true;
        const bool remembered = Remember(name, reader_.Token(), reader_.Length());

        if (skip) {
            // Nothing of this entry exists to delete. The skip state outlives
            // the entry unless the entry has a block.
            if (FAILED(hr = reader_.Next())) return hr;
            if (FAILED(hr = PassOverAssignment())) return hr;
            if (reader_.First() == '{') {
                if (FAILED(hr = SkipBlock())) return hr;
                skip = false;
                if (FAILED(hr = reader_.Next())) return hr;
                if (FAILED(hr = PassOverAssignment())) return hr;
            }
            continue;
        }

        bool blockWalked = false;
        bool nextInHand = false;  // the token in hand already begins the next entry
        if (HasSubkeys(key.Get()) || HasValues(key.Get())) {
            if (FAILED(hr = reader_.Next())) return hr;
            if (FAILED(hr = PassOverAssignment())) return hr;
            if (reader_.First() == '{') {
                hr = depth < kMaxBlockDepth ? UnregisterBlock(key.Get(), depth + 1) : SkipBlock();
                if (FAILED(hr)) return hr;
                blockWalked = true;
            } else {
                nextInHand = true;
            }
            if (HasSubkeys(key.Get())) {
                // The key holds more than the script put there and stays.
                if (remembered && !IsNeverDeleted(name)) DeleteKeyTree(key.Get(), name);
                if (!nextInHand && FAILED(hr = reader_.Next())) return hr;
                continue;
            }
        }

        if (!key.Close()) return DISP_E_EXCEPTION;
        if (!noRemove && remembered) platform::RegDeleteKeyA(parent, name);
        if (nextInHand) continue;
        if (FAILED(hr = reader_.Next())) return hr;
        if (FAILED(hr = PassOverAssignment())) return hr;
        if (!blockWalked && reader_.First() == '{') {
            if (FAILED(hr = SkipBlock())) return hr;
            if (FAILED(hr = reader_.Next())) return hr;
        }
    }
    return S_OK;
}

// The token in hand opens a block; on return it is the block's closing "}".
// Walks the entries as unregister mode does in the skip state: the syntax is
// checked, nothing is opened or deleted.
HRESULT Parser::SkipBlock() noexcept {
    size_t depth = 1;
    HRESULT hr;
    if (FAILED(hr = reader_.Next())) return hr;
    for (;;) {
        if (reader_.First() == '}') {
            if (--depth == 0) return S_OK;
            if (FAILED(hr = reader_.Next())) return hr;
            if (FAILED(hr = PassOverAssignment())) return hr;
            continue;
        }
        const Keyword keyword = FindKeyword(reader_.Token());
        if (keyword == Keyword::Val) {
            if (FAILED(hr = ReadValueEntry())) return hr;
            if (FAILED(hr = PassOverAssignment())) return hr;
            continue;
        }
        if (FAILED(hr = ReadEntryName(keyword))) return hr;
        if (FAILED(hr = reader_.Next())) return hr;
        if (FAILED(hr = PassOverAssignment())) return hr;
        if (reader_.First() == '{') {
            ++depth;
            if (FAILED(hr = reader_.Next())) return hr;
        }
    }
}

// The token in hand is "=": reads the type and the value, writes them and
// reads the token after the value.
HRESULT Parser::WriteValue(HKEY key, const char* name) noexcept {
    HRESULT hr;
    if (FAILED(hr = reader_.Next())) return hr;
    DWORD type = REG_NONE;
    if (!FindValueType(reader_.Token(), &type)) return DISP_E_EXCEPTION;
    if (FAILED(hr = reader_.Next())) return hr;
    switch (type) {
        case REG_SZ:
            platform::RegSetValueExA(key, name, 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(reader_.Token()),
                                     static_cast<DWORD>(reader_.Length() + 1));
            break;
        case REG_DWORD:
            WriteNumber(key, name);
            break;
        case REG_BINARY:
            if (FAILED(hr = WriteBinary(key, name))) return hr;
            break;
    }
    return reader_.Next();
}

// Text that is not an unsigned 32-bit number writes nothing; the run goes on.
// VarUI4FromStr is younger than the OLE Automation that Windows 95 and NT 4.0
// are documented with, so it is looked up by name; without it a number writes nothing.
void Parser::WriteNumber(HKEY key, const char* name) noexcept {
    const auto varUI4FromStr = g_varUI4FromStr.Get();
    if (varUI4FromStr == nullptr) return;
    if (MultiByteToWideChar(CP_ACP, 0, reader_.Token(), -1, wide_,
                            static_cast<int>(ScriptReader::kTokenSize)) == 0)
        return;
    ULONG number = 0;
    if (FAILED(varUI4FromStr(wide_, 0, 0, &number))) return;
    const DWORD data = number;
    platform::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                             sizeof(data));
}

HRESULT Parser::WriteBinary(HKEY key, const char* name) noexcept {
    const char* text = reader_.Token();
    size_t characters = 0;
    for (const char* p = text; *p != '\0'; p = CharNextA(p)) ++characters;
    if (characters % 2 != 0) return E_FAIL;

    size_t count = 0;
    for (const char* p = text; *p != '\0'; ++count) {
        const char* low = CharNextA(p);
        const char* next = CharNextA(low);
        binary_[count] = static_cast<BYTE>(HexValue(p, static_cast<size_t>(low - p)) << 4 |
                                           HexValue(low, static_cast<size_t>(next - low)));
        p = next;
    }
    platform::RegSetValueExA(key, name, 0, REG_BINARY, binary_, static_cast<DWORD>(count));
    return S_OK;
}

HRESULT Parser::PassOverAssignment() noexcept {
    if (reader_.First() != '=') return S_OK;
    HRESULT hr;
    if (FAILED(hr = reader_.Next())) return hr;
    if (FAILED(hr = reader_.Next())) return hr;
    return reader_.Next();
}

// The token in hand is "Val": reads the value's name and the "=" behind it.
HRESULT Parser::ReadValueEntry() noexcept {
    HRESULT hr;
    if (FAILED(hr = reader_.Next())) return hr;
    if (reader_.Length() > kMaxName) return DISP_E_EXCEPTION;
    std::memcpy(valueName_, reader_.Token(), reader_.Length() + 1);
    if (FAILED(hr = reader_.Next())) return hr;
    return reader_.First() == '=' ? S_OK : DISP_E_EXCEPTION;
}

// A key entry's name is the token in hand, or the one behind its keyword.
HRESULT Parser::ReadEntryName(Keyword keyword) noexcept {
    if (keyword == Keyword::None) return CheckKeyName();
    const HRESULT hr = reader_.Next();
    if (FAILED(hr)) return hr;
    return CheckKeyName();
}

// A key entry names one level. An empty name would stand for the parent
// itself, which a deletion must never reach.
HRESULT Parser::CheckKeyName() const noexcept {
    const char* name = reader_.Token();
    if (*name == '\0') return DISP_E_EXCEPTION;
    for (const char* p = name; *p != '\0'; p = CharNextA(p))
        if (*p == '\\') return DISP_E_EXCEPTION;
    return S_OK;
}

}  // namespace server::registrar
