// What a member's caller receives for the routine it answers from, so that
// the member lists (core_members.h, plain_members.h) name the routine alone:
// a new BSTR for text, a LONG for a number, a VARIANT_BOOL for a truth.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "sysinfo/hw_info_core.h"

namespace object {

// Routines of the core, over the records it took when the object was made.
using TextRoutine = const char* (sysinfo::HwInfoCore::*)() noexcept;
using NumberRoutine = LONG (sysinfo::HwInfoCore::*)() noexcept;
// Plain routines below the object, asked at every call.
using TextReading = const char* (*)() noexcept;
using TextReader = bool (*)(char* text, unsigned size) noexcept;
using NumberReading = LONG (*)() noexcept;
using TruthReading = bool (*)() noexcept;

// Declared only: their return types answer AnswerOf.
BSTR AnswerTypeOf(TextRoutine) noexcept;
LONG AnswerTypeOf(NumberRoutine) noexcept;
BSTR AnswerTypeOf(TextReading) noexcept;
BSTR AnswerTypeOf(TextReader) noexcept;
LONG AnswerTypeOf(NumberReading) noexcept;
VARIANT_BOOL AnswerTypeOf(TruthReading) noexcept;

template <auto routine>
using AnswerOf = decltype(AnswerTypeOf(routine));

}  // namespace object
