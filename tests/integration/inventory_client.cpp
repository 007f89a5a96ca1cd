// IDeZiVero2 from a compiled client of the registered library: each of its
// members through the interface table and through IDispatch, which must
// agree, and the firmware members once a host declares the caller untrusted.
// (Clients of IDeZiVero alone are server_client and hostile_client.)
//
// Prints "NAME ANSWER" for each of IDeZiVero2's own members (the shell
// driver compares them with the host), every failed check, and a last line
// "inventory_client: N passed, N failed".
#include <windows.h>
#include <ole2.h>
#include <objsafe.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "DeZIVero_h.h"
#include "tests/tools/tally.h"
#include "tests/tools/dezivero_members.h"

namespace {

using tally::Check;

std::string Name(const members::Member& m) { return std::string(m.name, m.name + wcslen(m.name)); }

// Available memory and page file and the battery's charge move between two calls.
bool Moves(const members::Member& m) { return m.dispid == 40 || m.dispid == 42 || m.dispid == 56; }

// The firmware members a page gets "" for.
bool SinglesTheMachineOut(const members::Member& m) {
    return m.dispid == 51 || m.dispid == 52 || m.dispid == 54 || m.dispid == 55;
}

// Through the table and through IDispatch; the table's answer, checked against the other.
std::string BothWays(IDeZiVero2* object, IDispatch* dispatch, const members::Member& m) {
    members::Arguments processorOne;
    processorOne.number = 1;
    std::string table, byName;
    members::CallMember(object, m, processorOne, false, &table);
    members::InvokeMember(dispatch, m, processorOne, &byName);
    const std::string asDispatched = members::AsDispatched(table);
    if (Moves(m))
        Check(table.compare(0, 8, "00000000") == 0 && byName.compare(0, 8, "00000000") == 0,
              Name(m) + " answers through both");
    else
        Check(asDispatched == byName, Name(m) + ": table " + table + ", IDispatch " + byName);
    return table;
}

}  // namespace

int main() {
    setvbuf(stdout, nullptr, _IONBF, 0);
    CoInitialize(nullptr);
    IDeZiVero2* object = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_CoDeZiVero, nullptr, CLSCTX_INPROC_SERVER, IID_IDeZiVero2,
                                  reinterpret_cast<void**>(&object));
    Check(hr == S_OK && object, "CoCreateInstance for IDeZiVero2");
    if (!object) {
        return tally::Summary("inventory_client");
    }
    IDispatch* dispatch = nullptr;
    IDeZiVero* first = nullptr;
    object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    object->QueryInterface(IID_IDeZiVero, reinterpret_cast<void**>(&first));
    Check(dispatch == object && first == static_cast<IDeZiVero*>(object),
          "IDispatch and IDeZiVero are the same pointer as IDeZiVero2");

    std::string trusted[members::kMemberCount];
    for (unsigned i = members::kFirstInterfaceCount; i < members::kMemberCount; ++i) {
        trusted[i] = BothWays(object, dispatch, members::kMembers[i]);
        std::printf("%s %s\n", Name(members::kMembers[i]).c_str(), trusted[i].c_str());
    }

    IObjectSafety* safety = nullptr;
    object->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety));
    Check(safety != nullptr, "IObjectSafety");
    if (safety) {
        Check(safety->SetInterfaceSafetyOptions(IID_IDeZiVero2, INTERFACESAFE_FOR_UNTRUSTED_CALLER,
                                                INTERFACESAFE_FOR_UNTRUSTED_CALLER) == S_OK,
              "a host declares the caller untrusted");
        for (unsigned i = members::kFirstInterfaceCount; i < members::kMemberCount; ++i) {
            const members::Member& m = members::kMembers[i];
            if (Moves(m)) continue;
            const std::string now = BothWays(object, dispatch, m);
            const std::string expected = SinglesTheMachineOut(m) ? "00000000 ''" : trusted[i];
            Check(now == expected, Name(m) + " for an untrusted caller: " + now);
        }
        safety->SetInterfaceSafetyOptions(IID_IDeZiVero2, INTERFACESAFE_FOR_UNTRUSTED_CALLER, 0);
        for (unsigned i = members::kFirstInterfaceCount; i < members::kMemberCount; ++i) {
            if (SinglesTheMachineOut(members::kMembers[i]))
                Check(BothWays(object, dispatch, members::kMembers[i]) == trusted[i],
                      Name(members::kMembers[i]) + " once the caller is trusted again");
        }
        safety->Release();
    }
    first->Release();
    dispatch->Release();
    object->Release();
    CoUninitialize();
    return tally::Summary("inventory_client");
}
