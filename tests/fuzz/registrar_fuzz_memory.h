// The registrar fuzzer's guarded memory: a caller's text at the edge of a page
// that may not be touched, and a heap for the interpreter's own buffers that
// fails an allocation on request and checks each block's tail when it is
// freed.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "server/registrar/registrar_text.h"

namespace registrar_fuzz {

constexpr size_t kPage = 4096;

// Text alone at one edge of readable pages: either ending right before a page
// that may not be touched, or starting right after one. The text's pages are
// read-only, so a write to the caller's text faults too.
class GuardedText {
public:
    GuardedText(const std::string& text, bool atEnd) {
        const size_t bytes = text.size() + 1;
        const size_t dataPages = (bytes + kPage - 1) / kPage;
        size_ = (dataPages + 1) * kPage;
        base_ = static_cast<char*>(
            VirtualAlloc(nullptr, size_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (!base_) return;
        char* data = atEnd ? base_ : base_ + kPage;
        char* guard = atEnd ? base_ + dataPages * kPage : base_;
        std::memset(data, 0xCC, dataPages * kPage);
        text_ = atEnd ? data + dataPages * kPage - bytes : data;
        std::memcpy(text_, text.c_str(), bytes);
        DWORD old = 0;
        VirtualProtect(guard, kPage, PAGE_NOACCESS, &old);
        VirtualProtect(data, dataPages * kPage, PAGE_READONLY, &old);
    }
    ~GuardedText() {
        if (base_) VirtualFree(base_, 0, MEM_RELEASE);
    }
    GuardedText(const GuardedText&) = delete;
    GuardedText& operator=(const GuardedText&) = delete;

    const char* Text() const { return text_; }

private:
    char* base_ = nullptr;
    char* text_ = nullptr;
    size_t size_ = 0;
};

// A heap for the interpreter's own buffers (the expanded text, the parser)
// that puts each block against a page that may not be touched. Blocks are
// rounded to 8 bytes for the parser's alignment; the few bytes between a
// block's end and the page are sentinels, checked when the block is freed.
class GuardedHeap {
public:
    static const server::registrar::TextHeap& Heap() {
        static constexpr server::registrar::TextHeap heap{Alloc, Realloc, Free};
        return heap;
    }
    static std::vector<std::string>& Problems() {
        static std::vector<std::string> problems;
        return problems;
    }
    // Makes allocation number `failAt` (1 for the first; 0 for none) fail,
    // as a heap out of memory would.
    static void Start(unsigned failAt) {
        Problems().clear();
        State() = {failAt, 0, false};
    }
    static bool Failed() { return State().failed; }
    static size_t Outstanding() { return Blocks().size(); }

private:
    struct Block {
        char* base;
        size_t bytes;
    };
    static std::map<void*, Block>& Blocks() {
        static std::map<void*, Block> blocks;
        return blocks;
    }
    struct FailState {
        unsigned failAt;
        unsigned count;
        bool failed;
    };
    static FailState& State() {
        static FailState state{0, 0, false};
        return state;
    }

    static void* Alloc(size_t bytes) noexcept {
        if (++State().count == State().failAt) {
            State().failed = true;
            return nullptr;
        }
        const size_t rounded = (bytes + 7) & ~static_cast<size_t>(7);
        const size_t dataPages = (rounded + kPage - 1) / kPage;
        if (dataPages == 0 || dataPages > 0x10000) return nullptr;
        char* base = static_cast<char*>(VirtualAlloc(nullptr, (dataPages + 1) * kPage,
                                                     MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (!base) return nullptr;
        DWORD old = 0;
        VirtualProtect(base + dataPages * kPage, kPage, PAGE_NOACCESS, &old);
        char* block = base + dataPages * kPage - rounded;
        std::memset(block, 0xCC, rounded);
        Blocks()[block] = Block{base, bytes};
        return block;
    }

    static void* Realloc(void* block, size_t bytes) noexcept {
        void* grown = Alloc(bytes);
        if (!grown || !block) return grown;
        const size_t old = Blocks()[block].bytes;
        std::memcpy(grown, block, std::min(old, bytes));
        Free(block);
        return grown;
    }

    static void Free(void* block) noexcept {
        auto it = Blocks().find(block);
        if (it == Blocks().end()) {
            Problems().push_back("free of a block the heap never gave");
            return;
        }
        const size_t rounded = (it->second.bytes + 7) & ~static_cast<size_t>(7);
        const auto* bytes = static_cast<const unsigned char*>(block);
        for (size_t i = it->second.bytes; i < rounded; ++i)
            if (bytes[i] != 0xCC) Problems().push_back("write past the end of a block");
        VirtualFree(it->second.base, 0, MEM_RELEASE);
        Blocks().erase(it);
    }
};

}  // namespace registrar_fuzz
