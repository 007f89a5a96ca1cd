// Writes registry keys and values described in text files into the running
// Wine session, for integration tests that need devices a fresh prefix lacks.
//
// The description uses the familiar .reg notation, one item per line:
//   [HKLM\Key\Path]           create the key (and its parents)
//   [-HKLM\Key\Path]          delete the key with everything below it
//   "Name"="text"             REG_SZ; \\ and \" are the only escapes
//   @="text"                  the key's unnamed value
//   "Name"=dword:0000e100     REG_DWORD, hexadecimal
//   "Name"=hex:34,12          REG_BINARY
//   "Name"=hex(7):41,00,00,00 any type code, bytes as given
//   "Name"=-                  delete the value
// Blank lines and lines starting with ';' or '#' are ignored.
//
// `reg import` cannot do this: keys below volatile parents (HARDWARE\DEVICEMAP)
// must be volatile themselves, and HKEY_DYN_DATA is not reachable through it.
// A key is created non-volatile first and volatile when the parent demands it.
// Volatile keys live only as long as the wineserver, so callers keep it running.
//
// Usage: seed_registry.exe FILE...   exit code 0 when every line was applied.
//        seed_registry.exe -dump KEY  prints the tree below KEY, for reading.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct RootName {
    const char* name;
    HKEY key;
};

// Predefined keys are pointer constants, so this table cannot be constexpr.
const RootName kRoots[] = {
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {"HKLM", HKEY_LOCAL_MACHINE},
    {"HKEY_DYN_DATA", HKEY_DYN_DATA},           {"HKDD", HKEY_DYN_DATA},
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},   {"HKCU", HKEY_CURRENT_USER},
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {"HKCR", HKEY_CLASSES_ROOT},
    {"HKEY_USERS", HKEY_USERS},                 {"HKU", HKEY_USERS},
};

class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() { reset(); }
    void reset(HKEY k = nullptr) {
        if (key_) RegCloseKey(key_);
        key_ = k;
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

struct Counts {
    int keys = 0;
    int values = 0;
    int deletions = 0;
};

bool split_root(const std::string& path, HKEY* root, std::string* sub) {
    const size_t slash = path.find('\\');
    const std::string head = path.substr(0, slash);
    for (const RootName& r : kRoots) {
        if (lstrcmpiA(head.c_str(), r.name) != 0) continue;
        *root = r.key;
        *sub = slash == std::string::npos ? std::string() : path.substr(slash + 1);
        return true;
    }
    return false;
}

LONG create_key(HKEY root, const std::string& sub, Key* out) {
    HKEY k = nullptr;
    LONG rc = RegCreateKeyExA(root, sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &k, nullptr);
    if (rc == ERROR_CHILD_MUST_BE_VOLATILE)
        rc = RegCreateKeyExA(root, sub.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, &k, nullptr);
    if (rc == ERROR_SUCCESS) out->reset(k);
    return rc;
}

LONG delete_tree(HKEY parent, const std::string& sub) {
    HKEY k = nullptr;
    LONG rc = RegOpenKeyExA(parent, sub.c_str(), 0, KEY_ALL_ACCESS, &k);
    if (rc == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) return rc;
    char name[256];
    for (;;) {
        DWORD len = sizeof name;
        if (RegEnumKeyExA(k, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        rc = delete_tree(k, name);
        if (rc != ERROR_SUCCESS) break;
    }
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS) return rc;
    return RegDeleteKeyA(parent, sub.c_str());
}

// Reads a quoted text starting at s[*pos] == '"'; leaves *pos after the closing quote.
bool parse_quoted(const std::string& s, size_t* pos, std::string* out) {
    out->clear();
    size_t i = *pos + 1;
    for (; i < s.size() && s[i] != '"'; ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) ++i;
        out->push_back(s[i]);
    }
    if (i >= s.size()) return false;
    *pos = i + 1;
    return true;
}

bool parse_hex_bytes(const std::string& s, std::vector<BYTE>* out) {
    out->clear();
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ',' || s[i] == ' ' || s[i] == '\t')) ++i;
        if (i >= s.size()) break;
        char* end = nullptr;
        const unsigned long b = std::strtoul(s.c_str() + i, &end, 16);
        const size_t used = static_cast<size_t>(end - (s.c_str() + i));
        if (used == 0 || used > 2 || b > 0xFF) return false;
        out->push_back(static_cast<BYTE>(b));
        i += used;
    }
    return true;
}

// One value line; returns a Win32 error code or ERROR_INVALID_DATA for bad syntax.
LONG apply_value(HKEY key, const std::string& line, Counts* counts) {
    size_t pos = 0;
    std::string name;
    if (line[0] == '@') {
        pos = 1;
    } else if (!parse_quoted(line, &pos, &name)) {
        return ERROR_INVALID_DATA;
    }
    if (pos >= line.size() || line[pos] != '=') return ERROR_INVALID_DATA;
    const std::string data = line.substr(pos + 1);
    const char* value_name = line[0] == '@' ? nullptr : name.c_str();

    if (data == "-") {
        const LONG rc = RegDeleteValueA(key, value_name);
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return rc;
        ++counts->deletions;
        return ERROR_SUCCESS;
    }

    DWORD type = REG_SZ;
    std::vector<BYTE> bytes;
    if (!data.empty() && data[0] == '"') {
        size_t p = 0;
        std::string text;
        if (!parse_quoted(data, &p, &text) || p != data.size()) return ERROR_INVALID_DATA;
        bytes.assign(text.begin(), text.end());
        bytes.push_back(0);
    } else if (data.compare(0, 6, "dword:") == 0) {
        char* end = nullptr;
        const unsigned long v = std::strtoul(data.c_str() + 6, &end, 16);
        if (end == data.c_str() + 6 || *end != '\0') return ERROR_INVALID_DATA;
        type = REG_DWORD;
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<BYTE>(v >> (8 * i)));
    } else if (data.compare(0, 4, "hex:") == 0) {
        type = REG_BINARY;
        if (!parse_hex_bytes(data.substr(4), &bytes)) return ERROR_INVALID_DATA;
    } else if (data.compare(0, 4, "hex(") == 0) {
        char* end = nullptr;
        type = std::strtoul(data.c_str() + 4, &end, 16);
        if (end[0] != ')' || end[1] != ':') return ERROR_INVALID_DATA;
        if (!parse_hex_bytes(std::string(end + 2), &bytes)) return ERROR_INVALID_DATA;
    } else {
        return ERROR_INVALID_DATA;
    }
    const LONG rc = RegSetValueExA(key, value_name, 0, type, bytes.empty() ? nullptr : bytes.data(),
                                   static_cast<DWORD>(bytes.size()));
    if (rc == ERROR_SUCCESS) ++counts->values;
    return rc;
}

std::string trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    const size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool apply_file(const char* file, Counts* counts) {
    FILE* f = std::fopen(file, "rb");
    if (!f) {
        std::fprintf(stderr, "%s: cannot open\n", file);
        return false;
    }
    Key current;
    bool have_key = false;
    bool ok = true;
    char raw[4096];
    for (int line_no = 1; ok && std::fgets(raw, sizeof raw, f); ++line_no) {
        const std::string line = trim(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        LONG rc = ERROR_SUCCESS;
        if (line[0] == '[') {
            if (line.back() != ']') {
                rc = ERROR_INVALID_DATA;
            } else {
                const bool remove = line[1] == '-';
                const std::string path = line.substr(remove ? 2 : 1, line.size() - (remove ? 3 : 2));
                HKEY root = nullptr;
                std::string sub;
                current.reset();
                have_key = false;
                if (!split_root(path, &root, &sub) || sub.empty()) {
                    rc = ERROR_INVALID_DATA;
                } else if (remove) {
                    rc = delete_tree(root, sub);
                    if (rc == ERROR_SUCCESS) ++counts->deletions;
                } else {
                    rc = create_key(root, sub, &current);
                    if (rc == ERROR_SUCCESS) {
                        have_key = true;
                        ++counts->keys;
                    }
                }
            }
        } else if (!have_key) {
            rc = ERROR_INVALID_DATA;
        } else {
            rc = apply_value(current.get(), line, counts);
        }
        if (rc != ERROR_SUCCESS) {
            std::fprintf(stderr, "%s:%d: error %ld: %s\n", file, line_no, rc, line.c_str());
            ok = false;
        }
    }
    std::fclose(f);
    return ok;
}

void dump_tree(HKEY parent, const std::string& sub, const std::string& shown) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(parent, sub.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return;
    std::printf("[%s]\n", shown.c_str());
    char name[16384];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD name_len = sizeof name;
        DWORD data_len = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(k, i, name, &name_len, nullptr, &type, data, &data_len) != ERROR_SUCCESS)
            break;
        std::printf(name[0] ? "\"%s\"=" : "@=", name);
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            std::printf("\"%.*s\"\n", static_cast<int>(strnlen(reinterpret_cast<char*>(data), data_len)),
                        reinterpret_cast<char*>(data));
        } else if (type == REG_DWORD && data_len == 4) {
            DWORD v;
            std::memcpy(&v, data, 4);
            std::printf("dword:%08lx\n", static_cast<unsigned long>(v));
        } else {
            std::printf("hex(%lx):", static_cast<unsigned long>(type));
            for (DWORD b = 0; b < data_len; ++b) std::printf(b ? ",%02x" : "%02x", data[b]);
            std::printf("\n");
        }
    }
    for (DWORD i = 0;; ++i) {
        DWORD name_len = sizeof name;
        if (RegEnumKeyExA(k, i, name, &name_len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        dump_tree(k, name, shown + "\\" + name);
    }
    RegCloseKey(k);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: seed_registry FILE...\n");
        return 2;
    }
    if (std::strcmp(argv[1], "-dump") == 0) {
        HKEY root = nullptr;
        std::string sub;
        if (argc != 3 || !split_root(argv[2], &root, &sub)) {
            std::fprintf(stderr, "usage: seed_registry -dump ROOT\\KEY\n");
            return 2;
        }
        dump_tree(root, sub, argv[2]);
        return 0;
    }
    Counts counts;
    for (int i = 1; i < argc; ++i) {
        if (!apply_file(argv[i], &counts)) return 1;
    }
    std::printf("seed_registry: %d keys, %d values, %d deletions\n", counts.keys, counts.values,
                counts.deletions);
    return 0;
}
