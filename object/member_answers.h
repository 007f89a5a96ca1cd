// How a member hands a routine's answer to its caller: the out-pointer is
// checked before the routine runs, so a refused call asks the system nothing.
#pragma once

#include <cstring>

#include "object/co_dezivero.h"
#include "object/ansi_text.h"

namespace object {

using ProcessorTextRoutine = const char* (sysinfo::HwInfoCore::*)(LONG) noexcept;

// A failed allocation still answers S_OK, with a null string.
inline HRESULT AnswerText(BSTR* out, const char* text) noexcept {
    *out = AnsiToBstr(text);
    return S_OK;
}

inline HRESULT Answer(BSTR* out, sysinfo::HwInfoCore& core, TextRoutine routine) noexcept {
    if (!out) return E_POINTER;
    return AnswerText(out, (core.*routine)());
}

inline HRESULT Answer(LONG* out, sysinfo::HwInfoCore& core, NumberRoutine routine) noexcept {
    if (!out) return E_POINTER;
    *out = (core.*routine)();
    return S_OK;
}

// A routine below the core that asks the system at every call.
inline HRESULT AnswerFrom(LONG* out, LONG (*routine)() noexcept) noexcept {
    if (!out) return E_POINTER;
    *out = routine();
    return S_OK;
}

inline HRESULT AnswerFrom(VARIANT_BOOL* out, bool (*routine)() noexcept) noexcept {
    if (!out) return E_POINTER;
    *out = routine() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

inline HRESULT AnswerFrom(BSTR* out, const char* (*routine)() noexcept) noexcept {
    if (!out) return E_POINTER;
    return AnswerText(out, routine());
}

// A reader that fails leaves its buffer empty: the answer is then "".
inline HRESULT AnswerFrom(BSTR* out, bool (*read)(char* text, unsigned size) noexcept) noexcept {
    if (!out) return E_POINTER;
    char text[sysinfo::kAnswerTextSize] = "";
    if (!read(text, sizeof text)) text[0] = '\0';
    return AnswerText(out, text);
}

// Enumeration results pass unchanged, also values the enumeration does not
// name; copying the bits avoids converting an out-of-range number to the enum.
template <typename Enum>
HRESULT AnswerEnum(Enum* out, sysinfo::HwInfoCore& core, NumberRoutine routine) noexcept {
    static_assert(sizeof(Enum) == sizeof(LONG), "enumerations are 32-bit in the type library");
    if (!out) return E_POINTER;
    const LONG value = (core.*routine)();
    std::memcpy(out, &value, sizeof value);
    return S_OK;
}

}  // namespace object
