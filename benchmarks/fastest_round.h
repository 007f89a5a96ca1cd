// Timing by rounds: each round makes the same number of calls of one side;
// the rounds of two sides alternate, so load that comes and goes falls on
// both, and the fastest round of each side counts, so noise does not decide.
#pragma once

#include <windows.h>

namespace bench {

struct Timing {
    int runs = 1;           // calls per round
    double firstNs = 0;     // per call, fastest round
    double secondNs = -1;   // per call, fastest round; -1 without a second side
};

inline double NowNs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1e9 / static_cast<double>(frequency.QuadPart);
}

template <typename Side>
double RoundNs(Side& side, int runs) {
    const double start = NowNs();
    for (int i = 0; i < runs; ++i) side();
    return NowNs() - start;
}

// As many calls per round as make the first side's round last roundMs (at
// least one), then `rounds` rounds of each side in turn. second may be null.
template <typename First, typename Second>
Timing AlternateRounds(First& first, Second* second, int rounds, double roundMs) {
    Timing t;
    while (RoundNs(first, t.runs) < roundMs * 1e6 && t.runs < (1 << 20)) t.runs *= 2;
    double bestFirst = 1e300, bestSecond = 1e300;
    for (int r = 0; r < rounds; ++r) {
        const double a = RoundNs(first, t.runs);
        if (a < bestFirst) bestFirst = a;
        if (!second) continue;
        const double b = RoundNs(*second, t.runs);
        if (b < bestSecond) bestSecond = b;
    }
    t.firstNs = bestFirst / t.runs;
    if (second) t.secondNs = bestSecond / t.runs;
    return t;
}

}  // namespace bench
