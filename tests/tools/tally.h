// The tally of a client program that a shell test runs: every failed check
// is printed, and the last line, "NAME: N passed, N failed", is the one the
// test insists on.
#pragma once

#include <cstdio>
#include <string>

namespace tally {

inline int passed = 0;
inline int failed = 0;

inline void Check(bool ok, const std::string& what) {
    if (ok) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAILED: %s\n", what.c_str());
}

// Prints the last line; returns the program's exit code.
inline int Summary(const char* program) {
    std::printf("%s: %d passed, %d failed\n", program, passed, failed);
    std::fflush(stdout);
    return failed == 0 ? 0 : 1;
}

}  // namespace tally
