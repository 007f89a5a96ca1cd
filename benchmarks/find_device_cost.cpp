// The cost of FindDevice(n) through IDispatch on each walk of the running
// platform family, over many devices of one class seeded into the prefix
// (many_devices.h): the 9x device list, or the NT family's services walk and
// the key tree below the media route. Each round times every n in turn, the
// fastest round of each n counts, and each answer is checked to be device n.
//
// Usage: find_device_cost.exe nt|9x COUNT ROUNDS ROUND_MS N...
// Prints "walk|WALK|N|NS" per walk and n, and "find_device_cost: N searches" last;
// exit code 1 when a search does not find its device.
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DeZIVero_h.h"
#include "fastest_round.h"
#include "registered_object.h"
#include "many_devices.h"

namespace {

struct Walk {
    bool nt;
    const char* name;
    const wchar_t* deviceClass;
};

const Walk kWalks[] = {
    {false, "9x device list", L"OrvMany"},
    {true, "services walk", L"OrvMany"},
    {true, "key tree (media route)", L"Media"},
};

class Search {
public:
    Search(IDispatch* dispatch, DISPID id, LONG number, const wchar_t* deviceClass) : dispatch_(dispatch), id_(id) {
        VariantInit(&args_[0]);
        VariantInit(&args_[1]);
        V_VT(&args_[1]) = VT_I4;
        V_I4(&args_[1]) = number;
        V_VT(&args_[0]) = VT_BSTR;
        V_BSTR(&args_[0]) = SysAllocString(deviceClass);
        params_ = {args_, nullptr, 2, 0};
    }
    ~Search() { VariantClear(&args_[0]); }
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    void operator()() {
        VARIANT result;
        VariantInit(&result);
        status = dispatch_->Invoke(id_, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params_, &result,
                                   nullptr, nullptr);
        found = V_VT(&result) == VT_BOOL && V_BOOL(&result) == VARIANT_TRUE;
        VariantClear(&result);
    }

    HRESULT status = E_UNEXPECTED;
    bool found = false;

private:
    IDispatch* dispatch_;
    DISPID id_;
    VARIANT args_[2];
    DISPPARAMS params_ = {};
};

// The key of the last device found ends with device n's number.
bool FoundDevice(IDeZiVero* object, int n) {
    BSTR key = nullptr;
    object->get_HWKey(&key);
    char narrow[1040] = {};
    if (key) WideCharToMultiByte(CP_ACP, 0, key, -1, narrow, sizeof narrow, nullptr, nullptr);
    SysFreeString(key);
    const std::string tail = many_devices::Numbered(n);
    const size_t length = std::strlen(narrow);
    return length >= tail.size() && tail == narrow + length - tail.size();
}

int Run(bool nt, int rounds, double roundMs, int argc, char** argv) {
    IDeZiVero* object = bench::CreateRegisteredObject();
    if (!object) return 1;
    LPOLESTR name = const_cast<LPOLESTR>(L"FindDevice");
    DISPID id = DISPID_UNKNOWN;
    object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    int searches = 0;
    bool ok = true;
    for (const Walk& walk : kWalks) {
        if (walk.nt != nt) continue;
        // Every n in each round, so that load which comes and goes falls on all of them.
        std::vector<std::unique_ptr<Search>> sides;
        std::vector<int> runs;
        std::vector<double> best;
        for (int i = 5; i < argc; ++i) {
            sides.emplace_back(new Search(object, id, std::atoi(argv[i]), walk.deviceClass));
            runs.push_back(bench::RunsPerRound(*sides.back(), roundMs));
            best.push_back(1e300);
        }
        for (int r = 0; r < rounds; ++r) {
            for (size_t i = 0; i < sides.size(); ++i) {
                const double ns = bench::RoundNs(*sides[i], runs[i]) / runs[i];
                if (ns < best[i]) best[i] = ns;
            }
        }
        for (size_t i = 0; i < sides.size(); ++i) {
            const int n = std::atoi(argv[5 + i]);
            (*sides[i])();
            if (sides[i]->status != S_OK || !sides[i]->found || !FoundDevice(object, n)) {
                std::printf("%s: FindDevice(%d) did not find device %d (0x%08lX)\n", walk.name, n, n,
                            static_cast<unsigned long>(sides[i]->status));
                ok = false;
                continue;
            }
            std::printf("walk|%s|%d|%.0f\n", walk.name, n, best[i]);
            ++searches;
        }
    }
    object->Release();
    std::printf("find_device_cost: %d searches\n", searches);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::printf("usage: find_device_cost nt|9x COUNT ROUNDS ROUND_MS N...\n");
        return 2;
    }
    const bool nt = std::strcmp(argv[1], "9x") != 0;
    if (FAILED(CoInitialize(nullptr))) return 1;
    many_devices::Seed(nt, std::atoi(argv[2]));
    const int rc = Run(nt, std::atoi(argv[3]), std::atof(argv[4]), argc, argv);
    CoUninitialize();
    return rc;
}
