#include "devices/indirect_text.h"

#include "platform/system_function.h"

namespace devices {

namespace {

constexpr DWORD kTextRoom = 1040;

// Answers 0 when it made the words, a negative status otherwise.
using LoadIndirectString = LONG(WINAPI*)(const wchar_t* source, wchar_t* out, UINT outSize,
                                         void** reserved);
platform::SystemFunction<LoadIndirectString> g_loadIndirectString{"shlwapi.dll",
                                                                  "SHLoadIndirectString"};

// Appends text [from, to) behind out's used bytes; false when it does not fit
// with a terminator in room bytes.
bool Put(char* out, DWORD room, DWORD* used, const char* from, const char* to) noexcept {
    const DWORD length = static_cast<DWORD>(to - from);
    if (length >= room - *used) return false;
    for (DWORD i = 0; i < length; ++i) out[*used + i] = from[i];
    *used += length;
    out[*used] = '\0';
    return true;
}

// Item number (from 1) of the comma-separated list [list, end), as [*from, *to).
bool ListItem(const char* list, const char* end, DWORD number, const char** from,
              const char** to) noexcept {
    const char* start = list;
    for (DWORD item = 1; start <= end; ++item) {
        const char* stop = start;
        while (stop < end && *stop != ',') ++stop;
        if (item == number) {
            *from = start;
            *to = stop;
            return true;
        }
        start = stop + 1;
    }
    return false;
}

// The words [words, wordsEnd) with "%n" replaced by item n of [list, listEnd)
// (no list: left as they stand), into out.
bool Substitute(const char* words, const char* wordsEnd, const char* list, const char* listEnd,
                char* out, DWORD room) noexcept {
    DWORD used = 0;
    out[0] = '\0';
    const char* c = words;
    while (c < wordsEnd) {
        const char* digits = c + 1;
        DWORD number = 0;
        const char* d = digits;
        while (list && *c == '%' && d < wordsEnd && *d >= '0' && *d <= '9' && number < 1000)
            number = number * 10 + static_cast<DWORD>(*d++ - '0');
        const char* from = nullptr;
        const char* to = nullptr;
        if (d > digits && number > 0 && ListItem(list, listEnd, number, &from, &to)) {
            if (!Put(out, room, &used, from, to)) return false;
            c = d;
            continue;
        }
        if (!Put(out, room, &used, c, c + 1)) return false;
        ++c;
    }
    return true;
}

// "@reference;words" or "@reference;words;(a,b,...)".
bool InlineWords(const char* text, char* out, DWORD room) noexcept {
    const char* words = text;
    while (*words && *words != ';') ++words;
    if (*words) ++words;
    const char* end = words + lstrlenA(words);
    const char* wordsEnd = end;
    const char* list = nullptr;
    const char* listEnd = nullptr;
    if (end - words >= 3 && end[-1] == ')') {
        for (const char* c = end - 3; c >= words; --c) {
            if (c[0] != ';' || c[1] != '(') continue;
            wordsEnd = c;
            list = c + 2;
            listEnd = end - 1;
            break;
        }
    }
    return Substitute(words, wordsEnd, list, listEnd, out, room);
}

bool LoadedWords(const char* text, char* out, DWORD room) noexcept {
    const LoadIndirectString load = g_loadIndirectString.Get();
    if (!load) return false;
    wchar_t source[kTextRoom + 1];
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, source, kTextRoom + 1) == 0) return false;
    wchar_t words[kTextRoom + 1] = {};
    if (load(source, words, kTextRoom + 1, nullptr) != 0) return false;
    words[kTextRoom] = L'\0';
    return WideCharToMultiByte(CP_ACP, 0, words, -1, out, static_cast<int>(room), nullptr,
                               nullptr) != 0;
}

}  // namespace

DWORD PlainIndirectText(BYTE* buffer, DWORD count, DWORD bufferSize) noexcept {
    if (!buffer || count == 0 || bufferSize == 0 || buffer[0] != '@') return count;
    const DWORD available = count < bufferSize ? count : bufferSize;
    char text[kTextRoom + 1];
    DWORD length = 0;
    while (length < available && buffer[length]) {
        if (length == kTextRoom) return count;  // more than any device text holds
        text[length] = static_cast<char>(buffer[length]);
        ++length;
    }
    text[length] = '\0';
    bool hasWords = false;
    for (DWORD i = 0; i < length && !hasWords; ++i) hasWords = text[i] == ';';
    char words[kTextRoom + 1];
    const DWORD room = bufferSize < kTextRoom + 1 ? bufferSize : kTextRoom + 1;
    const bool plain =
        hasWords ? InlineWords(text, words, room) : length > 1 && LoadedWords(text, words, room);
    if (!plain) return count;
    const DWORD written = static_cast<DWORD>(lstrlenA(words)) + 1;
    for (DWORD i = 0; i < written; ++i) buffer[i] = static_cast<BYTE>(words[i]);
    return written;
}

}  // namespace devices
