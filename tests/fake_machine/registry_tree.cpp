// The described registry as fixtures build and read it: key paths that name their root first,
// values set in order, keys removed with everything under them, and a sorted one-line-per-entry
// dump for comparing whole trees.
#include "tests/fake_machine/fake_machine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "tests/fake_machine/machine_state.h"

namespace platform::fake {
namespace {

struct TypeName {
    DWORD type;
    const char* name;
};

constexpr TypeName kTypeNames[] = {
    {REG_NONE, "REG_NONE"},
    {REG_SZ, "REG_SZ"},
    {REG_EXPAND_SZ, "REG_EXPAND_SZ"},
    {REG_BINARY, "REG_BINARY"},
    {REG_DWORD, "REG_DWORD"},
    {REG_DWORD_BIG_ENDIAN, "REG_DWORD_BIG_ENDIAN"},
    {REG_LINK, "REG_LINK"},
    {REG_MULTI_SZ, "REG_MULTI_SZ"},
    {REG_RESOURCE_LIST, "REG_RESOURCE_LIST"},
    {REG_QWORD, "REG_QWORD"},
};

std::string TypeText(DWORD type) {
    for (const TypeName& t : kTypeNames)
        if (t.type == type) return t.name;
    char text[32];
    std::snprintf(text, sizeof text, "REG_TYPE_%lu", static_cast<unsigned long>(type));
    return text;
}

}  // namespace

void MarkDeleted(Node& node) {
    node.deleted = true;
    for (auto& child : node.children) MarkDeleted(*child.second);
}

void Unlink(Node& node) {
    MarkDeleted(node);
    if (node.parent) node.parent->children.erase(UpperText(node.name));
    node.parent = nullptr;
}

Node* Machine::Impl::Walk(const std::string& path, bool create) const {
    size_t start = path.find('\\');
    const std::string rootName = path.substr(0, start);
    const int root = RootIndexOfName(rootName);
    if (root < 0) {
        std::fprintf(stderr, "fake machine: unknown registry root in \"%s\"\n", path.c_str());
        std::abort();
    }
    Node* node = roots[root].get();
    while (start != std::string::npos && node) {
        const size_t end = path.find('\\', start + 1);
        const std::string part = path.substr(start + 1, end == std::string::npos
                                                            ? std::string::npos
                                                            : end - start - 1);
        start = end;
        if (part.empty()) continue;
        node = create ? node->AddChild(part) : node->Child(part);
    }
    return node;
}

Machine& Machine::Key(const std::string& path) {
    std::lock_guard<std::mutex> lock(impl->mutex);
    impl->Walk(path, true);
    return *this;
}

Machine& Machine::Raw(const std::string& path, const std::string& name, DWORD type,
                      const std::string& bytes) {
    std::lock_guard<std::mutex> lock(impl->mutex);
    Value value;
    value.type = type;
    value.bytes = bytes;
    impl->Walk(path, true)->SetValue(name, value);
    return *this;
}

Machine& Machine::Sz(const std::string& path, const std::string& name, const std::string& text) {
    return Raw(path, name, REG_SZ, text + std::string(1, '\0'));
}

Machine& Machine::ExpandSz(const std::string& path, const std::string& name,
                           const std::string& text) {
    return Raw(path, name, REG_EXPAND_SZ, text + std::string(1, '\0'));
}

Machine& Machine::Dword(const std::string& path, const std::string& name, DWORD value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return Raw(path, name, REG_DWORD, bytes);
}

Machine& Machine::RemoveKey(const std::string& path) {
    std::lock_guard<std::mutex> lock(impl->mutex);
    Node* node = impl->Walk(path, false);
    if (!node) return *this;
    if (node->parent) {
        Unlink(*node);
        return *this;
    }
    // A root stays, emptied.
    for (auto& child : node->children) MarkDeleted(*child.second);
    node->children.clear();
    node->values.clear();
    return *this;
}

bool Machine::HasKey(const std::string& path) const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    return impl->Walk(path, false) != nullptr;
}

const Value* Machine::FindValue(const std::string& path, const std::string& name) const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    const Node* node = impl->Walk(path, false);
    return node ? node->FindValue(name) : nullptr;
}

std::vector<std::string> Machine::Subkeys(const std::string& path) const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    std::vector<std::string> names;
    if (const Node* node = impl->Walk(path, false))
        for (const auto& child : node->children) names.push_back(child.second->name);
    return names;
}

std::vector<std::string> Machine::ValueNames(const std::string& path) const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    std::vector<std::string> names;
    if (const Node* node = impl->Walk(path, false))
        for (const auto& v : node->values) names.push_back(v.first);
    return names;
}

namespace {

std::string ValueText(const Value& value) {
    std::string out = TypeText(value.type) + " ";
    const std::string& b = value.bytes;
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
        const bool terminated = !b.empty() && b.back() == '\0';
        const std::string text = terminated ? b.substr(0, b.size() - 1) : b;
        out += '"';
        for (unsigned char c : text) {
            if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02X", c);
            out += esc;
        }
        out += '"';
        if (!terminated) out += " (no terminator)";
        return out;
    }
    if (value.type == REG_DWORD && b.size() == 4) {
        DWORD v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[i]);
        char text[40];
        std::snprintf(text, sizeof text, "0x%08lX (%lu)", static_cast<unsigned long>(v),
                      static_cast<unsigned long>(v));
        return out + text;
    }
    out += "hex:";
    for (unsigned char c : b) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", c);
        out += hex;
    }
    return out;
}

void DumpNode(const Node& node, const std::string& path, std::vector<std::string>& lines) {
    lines.push_back(path);
    for (const auto& v : node.values)
        lines.push_back(path + " :" + (v.first.empty() ? "@" : v.first) + " = " +
                        ValueText(v.second));
    for (const auto& child : node.children)
        DumpNode(*child.second, path + "\\" + child.second->name, lines);
}

}  // namespace

std::string Machine::Dump(const std::string& path) const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    const Node* node = impl->Walk(path, false);
    if (!node) return std::string();
    std::string start;
    for (const Node* n = node; n; n = n->parent)
        start = start.empty() ? n->name : n->name + "\\" + start;
    std::vector<std::string> lines;
    DumpNode(*node, start, lines);
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

}  // namespace platform::fake
