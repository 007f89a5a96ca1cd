// Parser: walks the expanded registration script and applies it.
//
// The script is a sequence of root blocks ("HKCR { ... }"); each block holds
// key entries (optionally marked ForceRemove, NoRemove or Delete, with an
// optional "= type value" and an optional nested block) and value entries
// ("Val name = type value"). Register mode writes what the entries name;
// unregister mode removes it, sparing keys that hold more than the script
// put there. A root block that fails in register mode is walked again in
// unregister mode to take back what it wrote.
//
// Blocks in which nothing is opened (unregister mode's skip state) are walked
// by a counter, not by recursion; the blocks that open keys nest at most
// kMaxBlockDepth deep, so no script can exhaust the stack.
#pragma once

#include "server/registrar/registrar_tables.h"
#include "server/registrar/registrar_tokens.h"

#include <windows.h>

#include <cstddef>

namespace server::registrar {

constexpr unsigned kMaxBlockDepth = 256;
constexpr size_t kNameSize = 260;           // a value name or a remembered key name
constexpr size_t kMaxName = kNameSize - 1;

class Parser {
public:
    explicit Parser(const char* text) noexcept : reader_(text) {}
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    HRESULT Run(bool doRegister) noexcept;

private:
    HRESULT RegisterBlock(HKEY parent, unsigned depth) noexcept;
    HRESULT UnregisterBlock(HKEY parent, unsigned depth) noexcept;
    HRESULT SkipBlock() noexcept;

    HRESULT WriteValue(HKEY key, const char* name) noexcept;
    HRESULT PassOverAssignment() noexcept;
    HRESULT ReadValueEntry() noexcept;
    HRESULT ReadEntryName(Keyword keyword) noexcept;
    HRESULT CheckKeyName() const noexcept;
    void WriteNumber(HKEY key, const char* name) noexcept;
    HRESULT WriteBinary(HKEY key, const char* name) noexcept;

    ScriptReader reader_;
    char valueName_[kNameSize] = {};
    // The name of the key entry in hand at each unregister depth, kept for
    // the deletions that follow its nested block.
    char keyNames_[kMaxBlockDepth + 1][kNameSize] = {};
    wchar_t wide_[ScriptReader::kTokenSize] = {};
    BYTE binary_[ScriptReader::kTokenSize / 2] = {};
};

}  // namespace server::registrar
