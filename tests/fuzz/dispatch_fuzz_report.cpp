// A fault is caught twice over: a vectored handler reports any exception
// raised inside the library even when a caller further up would swallow it,
// and the unhandled-exception filter reports any other crash; both print the
// call in progress and end the process with exit code 3.
#include "tests/fuzz/dispatch_fuzz_report.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <utility>

namespace dispatch_fuzz {

namespace {

const char* const kFamilyNames[kFamilyCount] = {"dispid", "name", "flags", "count", "unknown", "params", "vtable", "safety"};

}  // namespace

CallRecord g_call;
std::vector<std::string>* g_labels = nullptr;  // pool labels by index
BYTE* g_libraryStart = nullptr;
BYTE* g_libraryEnd = nullptr;

void PrintCall(const char* prefix) {
    std::printf("%s call #%lu family %s dispid %ld flags 0x%X args %u named %u", prefix, g_call.number,
                kFamilyNames[g_call.family], static_cast<long>(g_call.dispid), g_call.flags, g_call.argCount,
                g_call.namedCount);
    if (g_call.name) std::printf(" name '%ls'", g_call.name);
    if (g_call.nulls[0]) std::printf(" null:%s", g_call.nulls);
    for (unsigned i = 0; i < g_call.argCount && i < kMaxArgs; ++i) {
        const int id = g_call.args[i];
        const char* label = (g_labels && id >= 0 && static_cast<size_t>(id) < g_labels->size())
                                ? (*g_labels)[id].c_str()
                                : "?";
        std::printf(" [%s]", label);
    }
    std::printf("\n");
}

namespace {

void DescribeAddress(const void* address, char* text, size_t size) {
    HMODULE module = nullptr;
    char path[MAX_PATH] = "unknown module";
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCSTR>(address), &module) &&
        module) {
        GetModuleFileNameA(module, path, MAX_PATH);
    }
    const char* base = std::strrchr(path, '\\');
    std::snprintf(text, size, "%s+0x%lX", base ? base + 1 : path,
                  static_cast<unsigned long>(static_cast<const BYTE*>(address) -
                                             reinterpret_cast<const BYTE*>(module)));
}

bool IsFault(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_IN_PAGE_ERROR:
    case STATUS_HEAP_CORRUPTION:
    case STATUS_STACK_BUFFER_OVERRUN:
        return true;
    default:
        return false;
    }
}

void ReportAndExit(const char* kind, EXCEPTION_POINTERS* pointers) {
    char where[MAX_PATH + 32];
    DescribeAddress(pointers->ExceptionRecord->ExceptionAddress, where, sizeof where);
    std::printf("CRASH (%s): exception 0x%08lX at %s\n", kind,
                static_cast<unsigned long>(pointers->ExceptionRecord->ExceptionCode), where);
    PrintCall("CRASH during");
    std::printf("dispatch_fuzz: 0 passed, 1 failed\n");
    std::fflush(stdout);
    ExitProcess(3);
}

bool InAnyModule(const void* address) {
    HMODULE module = nullptr;
    return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCSTR>(address), &module) &&
           module;
}

}  // namespace

LONG WINAPI LibraryFaultHandler(EXCEPTION_POINTERS* pointers) {
    const BYTE* at = static_cast<const BYTE*>(pointers->ExceptionRecord->ExceptionAddress);
    if (!IsFault(pointers->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
    if (at >= g_libraryStart && at < g_libraryEnd) ReportAndExit("inside the library", pointers);
    if (!InAnyModule(at)) ReportAndExit("outside every module", pointers);
    return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI UnhandledFilter(EXCEPTION_POINTERS* pointers) {
    ReportAndExit("unhandled", pointers);
    return EXCEPTION_EXECUTE_HANDLER;
}

// ---- Status histogram --------------------------------------------------------------------

namespace {

struct StatusName {
    HRESULT hr;
    const char* name;
};

const StatusName kStatusNames[] = {
    {S_OK, "S_OK"},
    {S_FALSE, "S_FALSE"},
    {E_POINTER, "E_POINTER"},
    {E_NOTIMPL, "E_NOTIMPL"},
    {E_FAIL, "E_FAIL"},
    {E_INVALIDARG, "E_INVALIDARG"},
    {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
    {E_NOINTERFACE, "E_NOINTERFACE"},
    {E_UNEXPECTED, "E_UNEXPECTED"},
    {DISP_E_UNKNOWNINTERFACE, "DISP_E_UNKNOWNINTERFACE"},
    {DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND"},
    {DISP_E_PARAMNOTFOUND, "DISP_E_PARAMNOTFOUND"},
    {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH"},
    {DISP_E_UNKNOWNNAME, "DISP_E_UNKNOWNNAME"},
    {DISP_E_NONAMEDARGS, "DISP_E_NONAMEDARGS"},
    {DISP_E_BADVARTYPE, "DISP_E_BADVARTYPE"},
    {DISP_E_EXCEPTION, "DISP_E_EXCEPTION"},
    {DISP_E_OVERFLOW, "DISP_E_OVERFLOW"},
    {DISP_E_BADINDEX, "DISP_E_BADINDEX"},
    {DISP_E_UNKNOWNLCID, "DISP_E_UNKNOWNLCID"},
    {DISP_E_ARRAYISLOCKED, "DISP_E_ARRAYISLOCKED"},
    {DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT"},
    {DISP_E_PARAMNOTOPTIONAL, "DISP_E_PARAMNOTOPTIONAL"},
    {DISP_E_BADCALLEE, "DISP_E_BADCALLEE"},
    {DISP_E_NOTACOLLECTION, "DISP_E_NOTACOLLECTION"},
    {TYPE_E_LIBNOTREGISTERED, "TYPE_E_LIBNOTREGISTERED"},
    {TYPE_E_ELEMENTNOTFOUND, "TYPE_E_ELEMENTNOTFOUND"},
};

// Keyed by (status, exception scode): a member's own failure comes back
// from Invoke as DISP_E_EXCEPTION with the member's status as scode.
std::map<std::pair<ULONG, ULONG>, unsigned long> g_histogram;
unsigned long g_reported = 0;

}  // namespace

std::string StatusText(HRESULT hr) {
    for (const StatusName& s : kStatusNames) {
        if (s.hr == hr) return s.name;
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

unsigned long g_calls = 0;
unsigned long g_passed = 0;
unsigned long g_failed = 0;
unsigned long g_familyCalls[kFamilyCount] = {};

void Tally(HRESULT hr, HRESULT scode) {
    ++g_calls;
    ++g_histogram[{static_cast<ULONG>(hr), static_cast<ULONG>(scode)}];
}

void Fail(const std::string& what) {
    ++g_failed;
    if (g_reported++ >= 40) return;
    std::printf("FAILED: %s\n", what.c_str());
    PrintCall("  in");
}

void Check(bool ok, const char* what) {
    if (ok) {
        ++g_passed;
        return;
    }
    Fail(what);
}

void PrintHistogram() {
    std::printf("status histogram (status [member failure]: calls):\n");
    for (const auto& row : g_histogram) {
        std::string name = StatusText(static_cast<HRESULT>(row.first.first));
        if (row.first.second) name += " [" + StatusText(static_cast<HRESULT>(row.first.second)) + "]";
        std::printf("  %-52s %lu\n", name.c_str(), row.second);
    }
    std::printf("calls by family:");
    for (int f = 0; f < kFamilyCount; ++f) std::printf(" %s %lu", kFamilyNames[f], g_familyCalls[f]);
    std::printf("\n");
}

}  // namespace dispatch_fuzz
