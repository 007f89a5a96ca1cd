#include "server/registrar/registrar_tokens.h"

#include <cstring>

namespace server::registrar {

void ScriptReader::SkipWhiteSpace() noexcept {
    while (IsScriptWhiteSpace(*position_)) ++position_;
}

HRESULT ScriptReader::Next() noexcept {
    SkipWhiteSpace();
    length_ = 0;
    token_[0] = '\0';
    if (AtEnd()) return DISP_E_EXCEPTION;
    const HRESULT hr = *position_ == '\'' ? ReadQuoted() : ReadPlain();
    token_[length_] = '\0';
    return hr;
}

HRESULT ScriptReader::ReadQuoted() noexcept {
    ++position_;
    for (;;) {
        if (*position_ == '\0') return DISP_E_EXCEPTION;
        if (*position_ == '\'') {
            if (position_[1] != '\'') {
                ++position_;
                return S_OK;
            }
            ++position_;  // of a doubled quote, the second one is kept
        }
        if (length_ >= kMaxQuotedStored) return DISP_E_EXCEPTION;
        const char* next = CharNextA(position_);
        Append(position_, static_cast<size_t>(next - position_));
        position_ = next;
    }
}

HRESULT ScriptReader::ReadPlain() noexcept {
    while (*position_ != '\0' && !IsScriptWhiteSpace(*position_)) {
        const char* next = CharNextA(position_);
        const size_t bytes = static_cast<size_t>(next - position_);
        if (length_ + bytes > kMaxToken) return DISP_E_EXCEPTION;
        Append(position_, bytes);
        position_ = next;
    }
    return S_OK;
}

void ScriptReader::Append(const char* from, size_t bytes) noexcept {
    std::memcpy(token_ + length_, from, bytes);
    length_ += bytes;
}

}  // namespace server::registrar
