// The dispatch fuzzer's checks on the library's answers: the type and, for
// members whose answer does not move, the value of a successful answer; the
// failures a member may give; FindDevice and HWKey in agreement; and null
// pointers through the interface table.
#pragma once

#include <windows.h>

#include <string>

#include "DeZIVero_h.h"
#include "tests/tools/dezivero_members.h"

namespace dispatch_fuzz {

std::wstring HWKeyOf(IDeZiVero* object);

// Members whose answer does not change while the fuzzer runs; their every
// successful answer must equal the first one.
bool IsSteady(const members::Member& m);

extern std::string g_steady[64];  // by DISPID

// Whether the object now in use has been told its caller is untrusted; the
// firmware members that single a machine out then answer "".
extern bool g_untrustedCaller;

// What a steady member must answer now.
std::string SteadyAnswer(const members::Member& m);

// The failures a member may give for a call that reached it.
bool MayFail(const members::Member& m, HRESULT scode);

// Checks a successful answer's type and, for steady members, its value.
void CheckAnswer(const members::Member& m, const VARIANT& result, const char* how);

// After a FindDevice: HWKey is empty unless a device was found.
void CheckFindState(IDeZiVero* object, bool found);

// Every member and dispatch entry with null pointers, once before the run.
void NullPointerChecks(IDispatch* dispatch, IDeZiVero2* object);

}  // namespace dispatch_fuzz
