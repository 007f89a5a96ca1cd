// Inputs for the registrar fuzzer: a seeded generator (splitmix64), a small
// corpus of registration scripts, and the mutations that bend them into the
// shapes where an interpreter of this format goes wrong: cut and spliced
// tokens, stray quotes and braces, markers of every length, binary and
// number texts that are no such thing, hostile nesting, tokens and value
// names at their buffer edges, high bytes and double-byte lead bytes, and
// line ends in odd places. Input i of a seed depends on nothing but (seed, i),
// so any input can be made again alone.
#pragma once

#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace registrar_fuzz {

class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(Next() % n); }
    size_t Between(size_t low, size_t high) { return low + Below(high - low + 1); }
    bool OneIn(size_t n) { return Below(n) == 0; }
    template <typename T, size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(N)];
    }

private:
    uint64_t state_;
};

inline uint64_t InputSeed(uint64_t seed, uint64_t index) {
    Rng mix(seed ^ (index * 0xD1B54A32D192ED03ull));
    return mix.Next();
}

inline constexpr const char* kCorpus[] = {
    // The component's own script.
    "HKCR\r\n{\r\n\tOrvane.VXR.ZEKO.HWInfo.1 = s 'Orvane Hardware Finder Control'\r\n\t{\r\n"
    "\t\tCLSID = s '{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}'\r\n\t}\r\n"
    "\tOrvane.VXR.ZEKO.HWInfo = s 'Orvane Hardware Finder Control'\r\n\t{\r\n"
    "\t\tCLSID = s '{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}'\r\n"
    "\t\tCurVer = s 'Orvane.VXR.ZEKO.HWInfo.1'\r\n\t}\r\n\tNoRemove CLSID\r\n\t{\r\n"
    "\t\tForceRemove {7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25} = s 'Orvane Hardware Finder "
    "Control'\r\n\t\t{\r\n\t\t\tProgID = s 'Orvane.VXR.ZEKO.HWInfo.1'\r\n"
    "\t\t\tVersionIndependentProgID = s 'Orvane.VXR.ZEKO.HWInfo'\r\n"
    "\t\t\tForceRemove 'Programmable'\r\n\t\t\tInprocServer32 = s '%MODULE%'\r\n\t\t\t{\r\n"
    "\t\t\t\tval ThreadingModel = s 'Apartment'\r\n\t\t\t}\r\n"
    "\t\t\t'TypeLib' = s '{7A31C480-52E6-4B1F-A0D7-3C94E18B6F25}'\r\n\t\t}\r\n\t}\r\n}\r\n",
    "HKCR { A = s 'a' { val n = d 5 val b = b 0a1B } NoRemove CLSID { ForceRemove {X} = s 'x' "
    "{ InprocServer32 = s '%Module%' { val ThreadingModel = s 'Both' } } } Delete Old Keep }",
    "HKLM { Software { NoRemove Shared { Mine { val v = s '%module%' } } } }\r\n"
    "HKCU { Software { Orvane { val d = d 4294967295 } } }",
    "HKEY_CLASSES_ROOT { K = s 'v' { Sub { Deeper = b 'FF00' } } Delete A = s 'x' "
    "ForceRemove Programmable }",
    "HKCR { 'TypeLib' { X { '1.0' = s 'lib' { 0 { win32 = s '%MODULE%' } } } } }",
    "HKCR { A } HKCR { B { val x = s '100%%' } } hkcr { C = s 'it''s' }",
    "HKCR { Keep { val keep = s 'k' } Orvane.VXR.ZEKO.HWInfo = s 'new' { CurVer = s 'v' } }",
};

inline constexpr const char* kKeyNames[] = {
    "A", "K", "Keep", "CLSID", "clsid", "TypeLib", "Programmable", "InprocServer32",
    "{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}", "Orvane.VXR.ZEKO.HWInfo", "Sub", "Stray", "X",
    "'quoted key'", "''", "Software", "Shared"};

inline constexpr const char* kRootNames[] = {
    "HKCR", "hkcr", "HkCu", "HKLM", "HKU", "HKPD", "HKDD", "HKCC", "HKEY_CLASSES_ROOT",
    "hkey_local_machine", "HKEY_USERS", "HKEY_PERFORMANCE_DATA", "HKEY_DYN_DATA",
    "HKEY_CURRENT_CONFIG", "HKEY_CURRENT_USER", "HKCRX", "HKC", "HKEY_CLASSES_ROO", "'HKCR'",
    "HKCR{", "{", "}", "=", "''", "HK\\CR"};

inline constexpr const char* kKeywords[] = {
    "Val", "val", "VAL", "ForceRemove", "forceremove", "NoRemove", "NOREMOVE", "Delete",
    "delete", "=", "s", "S", "d", "D", "b", "B", "{", "}", "'='", "'{'", "'}'", "Vals", "e"};

inline constexpr const char* kNumbers[] = {
    "0", "4294967295", "4294967296", "-1", "0x10", "&H10", "1e3", "12x", "abc", "''", "' 12 '",
    "99999999999999999999", "1.5", "+7", "'%MODULE%'", "00000000000042", "'\t3'", "2147483648"};

// Names of replacement markers: in the map (any case), near the 31-byte
// limit, and unknown.
inline constexpr const char* kMarkerNames[] = {
    "MODULE", "module", "MoDuLe", "Long", "QUOTE", "Percent", "Empty", "Brace", "Accent",
    "N234567890123456789012345678901", "N2345678901234567890123456789012", "Modul", "Modules",
    "Module ", "X"};

// The map the fuzzer runs with: "Module" and values that reshape the
// expanded text (a quote, a percent sign, braces, a token near the limit).
struct MapEntry {
    const wchar_t* name;
    const wchar_t* value;
};

inline const std::vector<MapEntry>& MapEntries() {
    static const std::wstring longValue(4090, L'L');
    static const std::vector<MapEntry> entries = {
        {L"Module", L"C:\\Program Files\\DeZIVero\\DeZIVero.DLL"},
        {L"Long", longValue.c_str()},
        {L"Quote", L"it's"},
        {L"Percent", L"%Module%"},
        {L"Empty", L""},
        {L"Brace", L"} HKCR {"},
        {L"Accent", L"\u00e9t\u00e9 \u00ff"},
        {L"N234567890123456789012345678901", L"thirty-one"},
        {L"N2345678901234567890123456789012", L"thirty-two"},
    };
    return entries;
}

class Mutator {
public:
    explicit Mutator(Rng& rng) : rng_(rng) {}

    std::string Make() {
        std::string text = rng_.Pick(kCorpus);
        if (rng_.OneIn(8)) text += rng_.OneIn(2) ? "\r\n" : " ", text += rng_.Pick(kCorpus);
        const size_t steps = rng_.Between(1, 4);
        for (size_t i = 0; i < steps; ++i) Mutate(text);
        return text;
    }

    void Mutate(std::string& text) {
        switch (rng_.Below(24)) {
            case 0: CutToken(text); break;
            case 1: InsertToken(text, TokenOf(rng_.Pick(kCorpus))); break;
            case 2: DuplicateToken(text); break;
            case 3: DeleteToken(text); break;
            case 4: SwapTokens(text); break;
            case 5: InsertAnywhere(text, std::string(1, "'{}=%'{}"[rng_.Below(8)])); break;
            case 6: Marker(text); break;
            case 7: InsertToken(text, "val bin = b " + BinaryText()); break;
            case 8: ReplaceToken(text, BinaryText()); break;
            case 9: InsertToken(text, std::string("val num = d ") + rng_.Pick(kNumbers)); break;
            case 10: Nesting(text); break;
            case 11: InsertToken(text, rng_.Pick(kKeywords)); break;
            case 12: RootName(text); break;
            case 13: InsertToken(text, LongToken()); break;
            case 14: ValueName(text); break;
            case 15: HighBytes(text); break;
            case 16: WhiteSpace(text); break;
            case 17: text.resize(rng_.Below(text.size() + 1)); break;
            case 18: CaseFlip(text); break;
            case 19: InsertAnywhere(text, "\\"); break;
            case 20: CopyRange(text); break;
            case 21: InsertToken(text, KeyEntry()); break;
            case 22: ReplaceToken(text, rng_.Pick(kKeyNames)); break;
            default: InsertToken(text, rng_.Pick(kKeywords) + std::string(" ") + KeyEntry()); break;
        }
    }

private:
    struct Span {
        size_t begin;
        size_t end;
    };

    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    static std::vector<Span> Spans(const std::string& text) {
        std::vector<Span> spans;
        size_t i = 0;
        while (i < text.size()) {
            while (i < text.size() && IsSpace(text[i])) ++i;
            if (i == text.size()) break;
            const size_t begin = i;
            while (i < text.size() && !IsSpace(text[i])) ++i;
            spans.push_back({begin, i});
        }
        return spans;
    }

    std::string TokenOf(const std::string& text) {
        const std::vector<Span> spans = Spans(text);
        if (spans.empty()) return "x";
        const Span s = spans[rng_.Below(spans.size())];
        return text.substr(s.begin, s.end - s.begin);
    }

    bool PickSpan(const std::string& text, Span& span) {
        const std::vector<Span> spans = Spans(text);
        if (spans.empty()) return false;
        span = spans[rng_.Below(spans.size())];
        return true;
    }

    // At the start of a token or at the end, set apart by white space
    // (usually) or glued to its neighbour.
    void InsertToken(std::string& text, const std::string& piece) {
        const std::vector<Span> spans = Spans(text);
        const size_t at = spans.empty() || rng_.OneIn(spans.size() + 1)
                              ? text.size()
                              : spans[rng_.Below(spans.size())].begin;
        const bool glued = rng_.OneIn(10);
        text.insert(at, glued ? piece : " " + piece + " ");
    }

    void InsertAnywhere(std::string& text, const std::string& piece) {
        text.insert(rng_.Below(text.size() + 1), piece);
    }

    void ReplaceToken(std::string& text, const std::string& piece) {
        Span s;
        if (!PickSpan(text, s)) {
            text.append(piece);
            return;
        }
        text.replace(s.begin, s.end - s.begin, piece);
    }

    void CutToken(std::string& text) {
        Span s;
        if (!PickSpan(text, s)) return;
        const size_t from = s.begin + rng_.Below(s.end - s.begin);
        const size_t count = rng_.Between(1, s.end - from);
        text.erase(from, count);
    }

    void DuplicateToken(std::string& text) {
        Span s;
        if (!PickSpan(text, s)) return;
        const std::string token = text.substr(s.begin, s.end - s.begin);
        const size_t copies = rng_.OneIn(8) ? rng_.Between(2, 50) : 1;
        std::string run;
        for (size_t i = 0; i < copies; ++i) run += " " + token;
        text.insert(s.end, run);
    }

    void DeleteToken(std::string& text) {
        Span s;
        if (PickSpan(text, s)) text.erase(s.begin, s.end - s.begin);
    }

    void SwapTokens(std::string& text) {
        const std::vector<Span> spans = Spans(text);
        if (spans.size() < 2) return;
        size_t a = rng_.Below(spans.size()), b = rng_.Below(spans.size());
        if (a == b) return;
        if (a > b) std::swap(a, b);
        const std::string first = text.substr(spans[a].begin, spans[a].end - spans[a].begin);
        const std::string second = text.substr(spans[b].begin, spans[b].end - spans[b].begin);
        text.replace(spans[b].begin, spans[b].end - spans[b].begin, first);
        text.replace(spans[a].begin, spans[a].end - spans[a].begin, second);
    }

    std::string MarkerName() {
        switch (rng_.Below(4)) {
            case 0:
            case 1: return rng_.Pick(kMarkerNames);
            case 2: return std::string(rng_.Between(0, 40), "mN_x.7"[rng_.Below(6)]);
            default: return std::string(rng_.Between(4096, 4200), 'M');
        }
    }

    void Marker(std::string& text) {
        std::string piece;
        switch (rng_.Below(5)) {
            case 0: piece = "%"; break;
            case 1: piece = std::string(2 * rng_.Between(1, 8) + (rng_.OneIn(3) ? 1 : 0), '%'); break;
            default: piece = "%" + MarkerName() + "%"; break;
        }
        if (rng_.OneIn(2)) return InsertAnywhere(text, piece);
        InsertToken(text, rng_.OneIn(2) ? piece : "'" + piece + "'");
    }

    std::string BinaryText() {
        static constexpr const char* kFixed[] = {"''",   "0",    "0a1B", "0a1", "zG1x", "''''",
                                                 "FF",   "'ff'", "'0 1'", "g",  "0A1b2C", "%%"};
        if (rng_.OneIn(2)) return rng_.Pick(kFixed);
        static constexpr char kDigits[] = "0123456789abcdefABCDEFxyzG ";
        size_t length = rng_.OneIn(20) ? rng_.Between(4090, 4096) : rng_.Below(40);
        std::string hex;
        for (size_t i = 0; i < length; ++i) hex += kDigits[rng_.Below(rng_.OneIn(4) ? 27 : 22)];
        return "'" + hex + "'";
    }

    void Nesting(std::string& text) {
        size_t depth = rng_.Between(100, 400);
        if (rng_.OneIn(5)) depth = rng_.Between(1000, 5000);
        if (rng_.OneIn(100)) depth = 100000;
        std::string piece;
        switch (rng_.Below(5)) {
            case 0:  // keys nested in blocks, closed (or not) at the end
                piece = Repeat("K {\n", depth);
                if (!rng_.OneIn(4)) piece += Repeat("} ", depth);
                break;
            case 1: piece = Repeat("{ ", depth); break;
            case 2: piece = Repeat("} ", depth); break;
            case 3: piece = std::string(depth, '{'); break;
            default:
                depth = std::min<size_t>(depth, 5000);
                piece = Repeat("NoRemove K { val v = s 'x' ", depth) + Repeat("} ", depth);
                break;
        }
        InsertToken(text, piece);
    }

    static std::string Repeat(const std::string& unit, size_t count) {
        std::string out;
        out.reserve(unit.size() * count);
        for (size_t i = 0; i < count; ++i) out += unit;
        return out;
    }

    void RootName(std::string& text) {
        const std::vector<Span> spans = Spans(text);
        for (const Span& s : spans) {
            const std::string token = text.substr(s.begin, s.end - s.begin);
            if ((token.size() >= 3 && (token[0] == 'H' || token[0] == 'h')) && rng_.OneIn(2)) {
                text.replace(s.begin, s.end - s.begin, rng_.Pick(kRootNames));
                return;
            }
        }
        text.insert(0, std::string(rng_.Pick(kRootNames)) + " { ");
    }

    std::string LongToken() {
        static constexpr size_t kLengths[] = {4093, 4094, 4095, 4096, 4097};
        const size_t length = rng_.Pick(kLengths);
        const char fill = "kq'{%"[rng_.Below(rng_.OneIn(4) ? 5 : 2)];
        switch (rng_.Below(4)) {
            case 0: return std::string(length, fill);
            case 1: return "'" + std::string(length, fill == '\'' ? 'q' : fill) + "'";
            case 2: return "'" + std::string(length - 4, 'q') + "''''" + "'";
            default: return "K = s '" + std::string(length, 'v') + "'";
        }
    }

    void ValueName(std::string& text) {
        const size_t length = rng_.Between(257, 262);
        const std::string name(length, 'n');
        InsertToken(text, "val " + (rng_.OneIn(2) ? name : "'" + name + "'") + " = s 'v'");
    }

    void HighBytes(std::string& text) {
        const unsigned char lead = static_cast<unsigned char>(
            rng_.OneIn(2) ? rng_.Between(0x81, 0x9F) : rng_.Between(0xE0, 0xFC));
        switch (rng_.Below(4)) {
            case 0: text.push_back(static_cast<char>(lead)); break;
            case 1: {
                static constexpr char kTrails[] = {'\\', '%', '\'', '}', '{', '=', ' ', '\r'};
                std::string pair(1, static_cast<char>(lead));
                pair += rng_.Pick(kTrails);
                InsertAnywhere(text, pair);
                break;
            }
            case 2: {
                std::string run;
                for (size_t i = rng_.Between(1, 8); i > 0; --i)
                    run.push_back(static_cast<char>(rng_.Between(0x80, 0xFF)));
                InsertAnywhere(text, run);
                break;
            }
            default: {
                // A lead byte just before a quote, a percent sign, a brace or the end.
                const size_t at = text.find_first_of("'%}", rng_.Below(text.size() + 1));
                text.insert(at == std::string::npos ? text.size() : at, 1,
                            static_cast<char>(lead));
                break;
            }
        }
    }

    void WhiteSpace(std::string& text) {
        static constexpr const char* kRuns[] = {"\r", "\n", "\t", "\r\n", "\n\r", " \t ", "\r\r\r"};
        if (rng_.OneIn(2)) return InsertAnywhere(text, rng_.Pick(kRuns));
        for (char& c : text)
            if (IsSpace(c) && rng_.OneIn(3)) c = "\r\n\t "[rng_.Below(4)];
    }

    void CaseFlip(std::string& text) {
        Span s;
        if (!PickSpan(text, s)) return;
        for (size_t i = s.begin; i < s.end; ++i) {
            char& c = text[i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
    }

    void CopyRange(std::string& text) {
        if (text.empty()) return;
        const size_t from = rng_.Below(text.size());
        const size_t count = rng_.Between(1, std::min<size_t>(text.size() - from, 200));
        const std::string range = text.substr(from, count);
        InsertAnywhere(text, range);
    }

    std::string KeyEntry() {
        std::string entry = rng_.Pick(kKeyNames);
        if (rng_.OneIn(2)) entry += std::string(" = ") + "sdbq"[rng_.Below(4)] + " '" + TokenOf(rng_.Pick(kCorpus)) + "'";
        if (rng_.OneIn(2)) entry += " { " + std::string(rng_.Pick(kKeyNames)) + " }";
        return entry;
    }

    Rng& rng_;
};

}  // namespace registrar_fuzz
