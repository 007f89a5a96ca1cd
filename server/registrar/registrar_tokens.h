// ScriptReader: splits expanded registration-script text into tokens.
//
// A token is a run of characters up to white space, or a single-quoted text
// in which '' stands for one quote. The reader moves by characters of the ANSI
// code page, so the trail byte of a double-byte character never ends a token
// or opens a quote.
#pragma once

#include <windows.h>

#include <cstddef>

namespace server::registrar {

class ScriptReader {
public:
    static constexpr size_t kTokenSize = 4096;
    static constexpr size_t kMaxToken = kTokenSize - 1;
    // The quoted limit is one lower: a further character is refused once this
    // many bytes are stored.
    static constexpr size_t kMaxQuotedStored = kTokenSize - 2;

    explicit ScriptReader(const char* text) noexcept : position_(text) {}

    void SkipWhiteSpace() noexcept;
    bool AtEnd() const noexcept { return *position_ == '\0'; }

    // Reads the next token. DISP_E_EXCEPTION at the end of the text, for an
    // unterminated quote and for a token that does not fit the buffer.
    HRESULT Next() noexcept;

    const char* Token() const noexcept { return token_; }
    size_t Length() const noexcept { return length_; }
    char First() const noexcept { return token_[0]; }

    const char* Position() const noexcept { return position_; }
    void Rewind(const char* position) noexcept { position_ = position; }

private:
    HRESULT ReadQuoted() noexcept;
    HRESULT ReadPlain() noexcept;
    void Append(const char* from, size_t bytes) noexcept;

    const char* position_;
    size_t length_ = 0;
    char token_[kTokenSize] = {};
};

inline bool IsScriptWhiteSpace(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace server::registrar
