// The dispatch fuzzer's reporting: the call in progress (for fault reports),
// the handlers that catch a fault inside the library, the tally of statuses
// and the pass and fail counts.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace dispatch_fuzz {

enum Family { kDispid, kName, kFlags, kCount, kUnknown, kParams, kVtable, kSafety, kFamilyCount };

constexpr unsigned kMaxArgs = 8;

struct CallRecord {
    unsigned long number;
    Family family;
    DISPID dispid;
    WORD flags;
    unsigned argCount;
    int args[kMaxArgs];  // pool indices, first argument first
    unsigned namedCount;
    const wchar_t* name;
    char nulls[64];  // which DISPPARAMS fields and out-pointers were null
};

extern CallRecord g_call;
extern std::vector<std::string>* g_labels;  // pool labels by index
extern BYTE* g_libraryStart;
extern BYTE* g_libraryEnd;

void PrintCall(const char* prefix);

// Sees faults inside the library before any handler could swallow them, and
// jumps to addresses outside every module (a return through an overwritten
// stack), after which the handler chain on that stack cannot be trusted.
LONG WINAPI LibraryFaultHandler(EXCEPTION_POINTERS* pointers);
LONG WINAPI UnhandledFilter(EXCEPTION_POINTERS* pointers);

std::string StatusText(HRESULT hr);

extern unsigned long g_calls;
extern unsigned long g_passed;
extern unsigned long g_failed;
extern unsigned long g_familyCalls[kFamilyCount];

void Tally(HRESULT hr, HRESULT scode);
void Fail(const std::string& what);
void Check(bool ok, const char* what);
void PrintHistogram();

}  // namespace dispatch_fuzz
