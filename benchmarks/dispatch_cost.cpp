// Cost per call of the registered component from C++: through the interface
// table, through IDispatch::Invoke with a DISPID looked up once, and with the
// name looked up at every call (what a late-bound caller without a cache pays).
// Prints one line per measurement: "label|calls|seconds". Exit code 1 when the
// object cannot be created or a call fails, so no figure stands for a failure.
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>

#include "DeZIVero_h.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Print(const char* label, int calls, double seconds) {
    std::printf("%s|%d|%.6f\n", label, calls, seconds);
}

// Runs call() n times; false as soon as one call fails.
template <typename Call>
bool Measure(const char* label, int n, Call call) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < n; ++i) {
        const HRESULT hr = call();
        if (FAILED(hr)) {
            std::fprintf(stderr, "%s: call %d failed with 0x%08lX\n", label, i, static_cast<unsigned long>(hr));
            return false;
        }
    }
    QueryPerformanceCounter(&end);
    Print(label, n, Seconds(start, end));
    return true;
}

HRESULT GetProperty(IDispatch* dispatch, DISPID id, VARIANT* result) {
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VariantInit(result);
    return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, result,
                            nullptr, nullptr);
}

HRESULT LookUp(IDispatch* dispatch, const wchar_t* name, DISPID* id) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    return dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
}

int Run(int calls) {
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"Orvane.VXR.ZEKO.HWInfo", &clsid);
    if (FAILED(hr)) {
        std::fprintf(stderr, "ProgID not registered: 0x%08lX\n", static_cast<unsigned long>(hr));
        return 1;
    }
    IDeZiVero* object = nullptr;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IDeZiVero),
                          reinterpret_cast<void**>(&object));
    if (FAILED(hr) || !object) {
        std::fprintf(stderr, "CoCreateInstance: 0x%08lX\n", static_cast<unsigned long>(hr));
        return 1;
    }

    bool ok = true;
    ok = ok && Measure("C++ vtable get_OSName", calls, [&] {
        BSTR name = nullptr;
        const HRESULT r = object->get_OSName(&name);
        SysFreeString(name);
        return r;
    });
    ok = ok && Measure("C++ vtable get_NumberOfProcessors", calls, [&] {
        long count = 0;
        return object->get_NumberOfProcessors(&count);
    });

    DISPID osName = DISPID_UNKNOWN, processors = DISPID_UNKNOWN;
    if (ok && (FAILED(LookUp(object, L"OSName", &osName)) ||
               FAILED(LookUp(object, L"NumberOfProcessors", &processors)))) {
        std::fprintf(stderr, "GetIDsOfNames failed\n");
        ok = false;
    }
    ok = ok && Measure("C++ Invoke OSName (DISPID known)", calls, [&] {
        VARIANT v;
        const HRESULT r = GetProperty(object, osName, &v);
        VariantClear(&v);
        return r;
    });
    ok = ok && Measure("C++ Invoke NumberOfProcessors (DISPID known)", calls, [&] {
        VARIANT v;
        const HRESULT r = GetProperty(object, processors, &v);
        VariantClear(&v);
        return r;
    });
    ok = ok && Measure("C++ GetIDsOfNames+Invoke NumberOfProcessors", calls, [&] {
        DISPID id = DISPID_UNKNOWN;
        HRESULT r = LookUp(object, L"NumberOfProcessors", &id);
        if (FAILED(r)) return r;
        VARIANT v;
        r = GetProperty(object, id, &v);
        VariantClear(&v);
        return r;
    });

    // How a member's failure reaches a late-bound caller: the status Invoke
    // returns and the code in the exception record, if any.
    DISPID csdVersion = DISPID_UNKNOWN;
    if (ok && SUCCEEDED(LookUp(object, L"CSDVersion", &csdVersion))) {
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        VARIANT v;
        VariantInit(&v);
        EXCEPINFO info = {};
        const HRESULT r = object->Invoke(csdVersion, IID_NULL, LOCALE_USER_DEFAULT,
                                         DISPATCH_PROPERTYGET, &none, &v, &info, nullptr);
        std::printf("note|Invoke of CSDVersion returns 0x%08lX, exception code 0x%08lX\n",
                    static_cast<unsigned long>(r), static_cast<unsigned long>(info.scode));
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
        VariantClear(&v);
    }

    object->Release();
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    int calls = 100000;
    if (argc > 1) calls = std::atoi(argv[1]);
    if (calls <= 0) calls = 1;
    if (FAILED(CoInitialize(nullptr))) return 1;
    const int rc = Run(calls);
    CoUninitialize();
    return rc;
}
