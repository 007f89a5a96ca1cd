// SearchKeyTree: how the NT family finds a routed class's devices.
#pragma once

#include <windows.h>

namespace devices {

class ClassGuidCache;

// What makes a key below the root a candidate.
struct KeyCandidate {
    // Keys whose valueName is non-empty and, when expected is not null, equal
    // to expected without regard to case.
    const char* valueName;
    const char* expected;
    // When not null: a key without valueName is judged by this value instead.
    const char* otherName = nullptr;
    // When not null: device instances (the root is the enumeration tree) of the
    // class expected, by "Class" or "ClassGUID", that the configuration
    // manager does not know as absent; valueName is then not read.
    ClassGuidCache* instancesOf = nullptr;
};

// Depth-first search below root for candidate keys. Every candidate that is
// not "Hidden" counts; the one met while *counter is 0 is the device, and its
// path goes to keyBuffer (keyBufferSize bytes). True when found.
bool SearchKeyTree(LONG* counter, const char* root, const KeyCandidate& candidate,
                   char* keyBuffer, DWORD keyBufferSize) noexcept;

inline bool SearchKeyTree(LONG* counter, const char* root, const char* valueName,
                          const char* expected, char* keyBuffer, DWORD keyBufferSize) noexcept {
    return SearchKeyTree(counter, root, KeyCandidate{valueName, expected}, keyBuffer,
                         keyBufferSize);
}

}  // namespace devices
