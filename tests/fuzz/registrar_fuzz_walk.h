// The registrar fuzzer's reading of a script in register mode, which touches
// no registry: where the last completed root block ends, which status the run
// must end with, and what the undo of a failing block may leave; and the
// tokens a script names.
#pragma once

#include <windows.h>

#include <cstring>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "server/registrar/registrar_parser.h"
#include "server/registrar/registrar_tables.h"
#include "server/registrar/registrar_tokens.h"
#include "tests/fuzz/registrar_fuzz_states.h"

namespace registrar_fuzz {

using server::registrar::ScriptReader;

// The roots' numbers run from 0x80000000 in the order of kRootShortNames.
inline const char* RootShortName(HKEY root) {
    for (DWORD i = 0; i < std::size(kRootShortNames); ++i)
        if (root == platform::PredefinedKey(0x80000000u + i)) return kRootShortNames[i];
    return "?";
}

// ---- The register-mode reading -----------------------------------------------------------
//
// What the undo cannot take back. The undo walks the failing block's entries
// again in unregister mode, and that walk spares, by its own rules:
//   1. every key entry of a block from a NoRemove entry on (the mark holds
//      for the later entries of the block);
//   2. the keys whose blocks enclose the point of failure: a key is deleted
//      only after its block is walked, and where the text itself is at fault
//      the walk stops at the same token;
//   3. a key that has a subkey when the walk comes back to it, even when the
//      walk then deletes that subkey as the one bearing the key's own name;
//   4. the unnamed value that a key entry wrote into a key that stays.
// These are the exemptions of a strictly checked block. Beyond them the
// walk's reach depends on more than the text, and the block is checked
// loosely (nothing invented, deletions named) when:
//   5. an entry of the block cannot be opened again - a Delete entry, or a
//      second entry for a key that a ForceRemove, a Delete or the walk itself
//      removed - for the rest of the block is then walked in the skip state;
//   6. the two modes read tokens differently: a token beginning with "{" but
//      not "{" after a key (register mode: the next key; unregister mode: a
//      block), a block after a Delete entry, an "=" right after a block's
//      "}" (register mode: a key named "="; unregister mode: an assignment
//      passed over);
//   7. a key name is longer than the 259 bytes remembered for its deletion;
//      it is never deleted, lest a cut name delete another key (the real
//      registry refuses such names when they are created; the described one
//      does not);
//   8. a key name holds a 0x5C trail byte, which the described registry
//      takes for a separator.

struct RegisterWalk {
    HRESULT status = S_OK;
    size_t goodEnd = 0;        // offset just after the last root block that completed
    bool insideBlock = false;  // the failure came inside a root block: its undo ran
    bool loose = false;                // cases 5 to 8 above
    const char* looseReason = "";
    std::vector<std::string> exempt;  // upper-case paths the undo may leave (cases 1 and 2)
};

class Walker {
public:
    explicit Walker(const char* text) : text_(text), reader_(new ScriptReader(text)) {}

    RegisterWalk Walk() {
        HRESULT hr;
        for (;;) {
            reader_->SkipWhiteSpace();
            if (reader_->AtEnd()) return result_;
            if (FAILED(hr = reader_->Next())) return Fail(hr);
            const HKEY root = server::registrar::FindRootKey(reader_->Token());
            if (!root) return Fail(DISP_E_EXCEPTION);
            if (FAILED(hr = reader_->Next())) return Fail(hr);
            if (reader_->First() != '{') return Fail(DISP_E_EXCEPTION);
            // Only the failing block is undone; what earlier blocks did stays.
            result_.loose = false;
            result_.looseReason = "";
            result_.exempt.clear();
            if (FAILED(hr = Block(RootShortName(root), 1))) {
                result_.insideBlock = true;
                return Fail(hr);
            }
            result_.goodEnd = static_cast<size_t>(reader_->Position() - text_);
        }
    }

private:
    RegisterWalk Fail(HRESULT hr) {
        result_.status = hr;
        return result_;
    }

    void Loose(const char* reason) {
        if (!result_.loose) result_.looseReason = reason;
        result_.loose = true;
    }

    static bool KeyNameAccepted(const char* name) {
        if (*name == '\0') return false;
        for (const char* p = name; *p != '\0'; p = CharNextA(p))
            if (*p == '\\') return false;
        return true;
    }

    HRESULT Block(const std::string& path, unsigned depth) {
        using server::registrar::Keyword;
        if (depth > server::registrar::kMaxBlockDepth) return DISP_E_EXCEPTION;
        std::set<std::string> names;
        bool noRemove = false;
        HRESULT hr;
        if (FAILED(hr = reader_->Next())) return hr;
        while (reader_->First() != '}') {
            const Keyword keyword = server::registrar::FindKeyword(reader_->Token());
            if (keyword == Keyword::Val) {
                if (FAILED(hr = reader_->Next())) return hr;
                if (reader_->Length() > server::registrar::kMaxName) return DISP_E_EXCEPTION;
                if (FAILED(hr = reader_->Next())) return hr;
                if (reader_->First() != '=') return DISP_E_EXCEPTION;
                if (FAILED(hr = Value())) return hr;
                continue;
            }
            if (keyword != Keyword::None && FAILED(hr = reader_->Next())) return hr;
            if (!KeyNameAccepted(reader_->Token())) return DISP_E_EXCEPTION;
            if (keyword == Keyword::NoRemove) noRemove = true;
            const std::string name = reader_->Token();
            if (name.size() > server::registrar::kMaxName) Loose("key name too long to remember");
            if (name.find('\\') != std::string::npos) Loose("trail byte 0x5C in a key name");
            if (!names.insert(Upper(name)).second) Loose("key named twice in one block");
            if (keyword == Keyword::Delete) {
                Loose("Delete entry");
                if (FAILED(hr = reader_->Next())) return hr;
                if (FAILED(hr = PassOver())) return hr;
                if (reader_->First() == '{') Loose("block after a Delete entry");
                continue;
            }
            const std::string child = path + "\\" + Upper(name);
            if (noRemove) result_.exempt.push_back(child);
            if (FAILED(hr = reader_->Next())) return hr;
            if (reader_->First() == '=' && FAILED(hr = Value())) return hr;
            if (std::strcmp(reader_->Token(), "{") == 0) {
                if (FAILED(hr = Block(child, depth + 1))) {
                    result_.exempt.push_back(child);
                    return hr;
                }
                if (FAILED(hr = reader_->Next())) return hr;
                if (reader_->First() == '=') Loose("assignment after a block");
            } else if (reader_->First() == '{') {
                Loose("token that begins with a brace after a key");
            }
        }
        return S_OK;
    }

    HRESULT Value() {
        HRESULT hr;
        if (FAILED(hr = reader_->Next())) return hr;
        DWORD type = REG_NONE;
        if (!server::registrar::FindValueType(reader_->Token(), &type)) return DISP_E_EXCEPTION;
        if (FAILED(hr = reader_->Next())) return hr;
        if (type == REG_BINARY) {
            size_t characters = 0;
            for (const char* p = reader_->Token(); *p != '\0'; p = CharNextA(p)) ++characters;
            if (characters % 2 != 0) return E_FAIL;
        }
        return reader_->Next();
    }

    HRESULT PassOver() {
        if (reader_->First() != '=') return S_OK;
        HRESULT hr;
        if (FAILED(hr = reader_->Next())) return hr;
        if (FAILED(hr = reader_->Next())) return hr;
        return reader_->Next();
    }

    const char* text_;
    std::unique_ptr<ScriptReader> reader_;
    RegisterWalk result_;
};

// Every token the interpreter can read from the text, upper-case, with the
// pieces the fake registry makes of a name that holds a 0x5C trail byte.
inline std::set<std::string> NamedTokens(const char* text) {
    std::set<std::string> names;
    auto reader = std::make_unique<ScriptReader>(text);
    for (;;) {
        reader->SkipWhiteSpace();
        if (reader->AtEnd() || FAILED(reader->Next())) break;
        const std::string token = Upper(reader->Token());
        names.insert(token);
        size_t start = 0;
        for (size_t cut; (cut = token.find('\\', start)) != std::string::npos; start = cut + 1)
            names.insert(token.substr(start, cut - start));
        names.insert(token.substr(start));
    }
    return names;
}

}  // namespace registrar_fuzz
