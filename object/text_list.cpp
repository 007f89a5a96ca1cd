#include "object/text_list.h"

#include "object/ansi_text.h"

namespace object {

namespace {

// Calls visit(index, text) for each string; returns how many there are.
template <typename Visit>
ULONG EachString(const char* value, DWORD count, Visit visit) noexcept {
    ULONG strings = 0;
    DWORD at = 0;
    while (at < count && value[at] != 0) {
        const char* text = value + at;
        if (!visit(strings, text)) return strings;
        ++strings;
        while (at < count && value[at] != 0) ++at;
        ++at;
    }
    return strings;
}

}  // namespace

bool TextListArray(const char* list, DWORD count, VARIANT* result) noexcept {
    const ULONG strings = EachString(list, count, [](ULONG, const char*) { return true; });
    SAFEARRAYBOUND bound{strings, 0};
    SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 1, &bound);
    if (!array) return false;
    VARIANT* items = nullptr;
    if (FAILED(SafeArrayAccessData(array, reinterpret_cast<void**>(&items)))) {
        SafeArrayDestroy(array);
        return false;
    }
    bool made = true;
    EachString(list, count, [&](ULONG index, const char* text) {
        V_VT(&items[index]) = VT_BSTR;
        V_BSTR(&items[index]) = AnsiToBstr(text);
        made = V_BSTR(&items[index]) != nullptr;
        return made;
    });
    SafeArrayUnaccessData(array);
    if (!made) {
        SafeArrayDestroy(array);  // clears the strings made so far
        return false;
    }
    V_VT(result) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(result) = array;
    return true;
}

}  // namespace object
