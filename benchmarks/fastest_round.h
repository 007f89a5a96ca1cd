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

// How many calls make a round of side last roundMs: at least one, doubled
// until it does.
template <typename Side>
int RunsPerRound(Side& side, double roundMs) {
    int runs = 1;
    while (RoundNs(side, runs) < roundMs * 1e6 && runs < (1 << 20)) runs *= 2;
    return runs;
}

// The first side's calls per round, then `rounds` rounds of each side in
// turn. second may be null.
template <typename First, typename Second>
Timing AlternateRounds(First& first, Second* second, int rounds, double roundMs) {
    Timing t;
    t.runs = RunsPerRound(first, roundMs);
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
