// The registrar fuzzer as a program of its own, for long runs:
//
//   registrar_fuzz COUNT SEED [FIRST]     runs inputs FIRST .. FIRST+COUNT-1 of SEED
//   registrar_fuzz --replay SEED INDEX    runs one input and prints it with its findings
//   registrar_fuzz --script FILE REGISTER BASELINE [GUARD]
//                                         runs the text of FILE (register 1 or 0,
//                                         starting state 0-2, guard 0-2)
//
// It prints the tallies and, for each input that breaks an invariant, the
// input, what broke, and the input cut down to what still breaks it. A crash
// (a read past the text's guard page among them) is reported with the input
// that caused it, and the program exits with status 3.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "tests/fuzz/registrar_fuzz_engine.h"

namespace {

using namespace registrar_fuzz;

const Input* gCurrent = nullptr;
unsigned long long gCurrentIndex = 0;

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    std::fprintf(stdout, "CRASH at input %llu: exception 0x%08lX at %p\n", gCurrentIndex,
                 static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                 info->ExceptionRecord->ExceptionAddress);
    if (gCurrent) {
        std::fprintf(stdout, "  register %d, baseline %d, guard %d, failing allocation %u\n  \"%s\"\n",
                     gCurrent->doRegister ? 1 : 0, gCurrent->baseline, gCurrent->guard,
                     gCurrent->failAllocation, Escaped(gCurrent->text, 2000).c_str());
    }
    std::fflush(stdout);
    ExitProcess(3);
    return EXCEPTION_EXECUTE_HANDLER;
}

// Still breaks an invariant, and (when looseReason is given) for that reason.
bool StillBreaks(const Input& input, const char* looseReason) {
    const Outcome out = RunInput(input);
    return !out.problems.empty() && (!looseReason || std::strcmp(looseReason, out.looseReason) == 0);
}

// Removes ever smaller pieces of the text while the input still breaks an
// invariant.
std::string CutDown(Input input, const char* looseReason = nullptr) {
    if (input.text.size() > 20000) return "(too long to cut down)";
    size_t chunk = input.text.size() / 2;
    while (chunk >= 1) {
        bool removed = false;
        for (size_t at = 0; at < input.text.size();) {
            Input trial = input;
            trial.text.erase(at, chunk);
            if (StillBreaks(trial, looseReason)) {
                input = trial;
                removed = true;
            } else {
                at += chunk;
            }
        }
        if (!removed) chunk /= 2;
    }
    return input.text;
}

void Report(unsigned long long index, const Input& input, const Outcome& out) {
    std::printf("VIOLATION at input %llu: register %d, baseline %d, guard %d, failing "
                "allocation %u, status %s\n",
                index, input.doRegister ? 1 : 0, input.baseline, input.guard,
                input.failAllocation, HexStatus(out.status).c_str());
    std::printf("  input: \"%s\"\n", Escaped(input.text).c_str());
    for (size_t i = 0; i < out.problems.size() && i < 6; ++i)
        std::printf("  - %s\n", out.problems[i].c_str());
    std::printf("  cut down: \"%s\"\n", Escaped(CutDown(input), 5000).c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    SetUnhandledExceptionFilter(OnCrash);
    if (argc == 4 && std::string(argv[1]) == "--replay") {
        const unsigned long long seed = std::strtoull(argv[2], nullptr, 0);
        gCurrentIndex = std::strtoull(argv[3], nullptr, 0);
        const Input input = MakeInput(seed, gCurrentIndex);
        gCurrent = &input;
        const Outcome out = RunInput(input);
        std::printf("input %llu: register %d, baseline %d, guard %d, status %s, %s %s\n",
                    gCurrentIndex, input.doRegister ? 1 : 0, input.baseline, input.guard,
                    HexStatus(out.status).c_str(), kCheckNames[static_cast<int>(out.check)], out.looseReason);
        std::printf("  \"%s\"\n", Escaped(input.text, 100000).c_str());
        for (const std::string& p : out.problems) std::printf("  - %s\n", p.c_str());
        return out.problems.empty() ? 0 : 1;
    }
    if ((argc == 5 || argc == 6) && std::string(argv[1]) == "--script") {
        // registrar_fuzz --script FILE REGISTER BASELINE [GUARD]: one text from a file.
        Input input;
        FILE* file = std::fopen(argv[2], "rb");
        if (!file) return 2;
        for (int c; (c = std::fgetc(file)) != EOF;) input.text += static_cast<char>(c);
        std::fclose(file);
        input.doRegister = std::atoi(argv[3]) != 0;
        input.baseline = std::atoi(argv[4]);
        if (argc == 6) input.guard = std::atoi(argv[5]);
        gCurrent = &input;
        const DWORD began = GetTickCount();
        const Outcome out = RunInput(input);
        std::printf("%lu ms\n", static_cast<unsigned long>(GetTickCount() - began));
        std::printf("status %s, %s %s\n", HexStatus(out.status).c_str(),
                    kCheckNames[static_cast<int>(out.check)], out.looseReason);
        for (const std::string& p : out.problems) std::printf("  - %s\n", p.c_str());
        return out.problems.empty() ? 0 : 1;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: registrar_fuzz COUNT SEED [FIRST] | --replay SEED INDEX\n");
        return 2;
    }
    const unsigned long long count = std::strtoull(argv[1], nullptr, 0);
    const unsigned long long seed = std::strtoull(argv[2], nullptr, 0);
    const unsigned long long first = argc > 3 ? std::strtoull(argv[3], nullptr, 0) : 0;

    // FUZZ_STRICT_EVERYWHERE=1 checks the loosely checked blocks strictly and
    // gives, for each reason they were loose, how many then break the strict
    // check, with one of them cut down.
    StrictEverywhere() = std::getenv("FUZZ_STRICT_EVERYWHERE") != nullptr;
    std::map<std::string, std::pair<size_t, std::string>> byReason;
    Tally tally;
    size_t reported = 0;
    const DWORD start = GetTickCount();
    for (unsigned long long i = first; i < first + count; ++i) {
        const Input input = MakeInput(seed, i);
        gCurrent = &input;
        gCurrentIndex = i;
        const DWORD began = GetTickCount();
        const Outcome out = RunInput(input);
        if (std::getenv("FUZZ_SLOW") && GetTickCount() - began > 30)
            std::printf("slow %llu: %lu ms, %zu bytes, register %d\n", i,
                        static_cast<unsigned long>(GetTickCount() - began), input.text.size(),
                        input.doRegister ? 1 : 0);
        tally.Add(input, out);
        if (StrictEverywhere() && *out.looseReason) {
            if (!out.problems.empty()) {
                auto& entry = byReason[out.looseReason];
                if (entry.first++ == 0) {
                    Input cut = input;
                    cut.text = CutDown(input, out.looseReason);
                    const Outcome again = RunInput(cut);
                    entry.second = "\"" + Escaped(cut.text) + "\" (" +
                                   (again.problems.empty() ? "" : again.problems.front()) + ")";
                }
            }
            continue;
        }
        if (!out.problems.empty() && reported++ < 20) Report(i, input, out);
        if ((i - first + 1) % 100000 == 0) {
            std::printf("... %llu inputs, %lu ms, %zu violations\n", i - first + 1,
                        static_cast<unsigned long>(GetTickCount() - start), tally.violations);
            std::fflush(stdout);
        }
    }
    gCurrent = nullptr;
    const DWORD elapsed = GetTickCount() - start;
    for (const auto& r : byReason)
        std::printf("strictly, %s: %zu break it, e.g. %s\n", r.first.c_str(), r.second.first,
                    r.second.second.c_str());

    std::printf("seed %llu, inputs %llu..%llu, ANSI code page %u\n", seed, first,
                first + count - 1, GetACP());
    std::printf("inputs %zu (register %zu, unregister %zu; guarded text and buffers %zu)\n",
                tally.inputs, tally.registerRuns, tally.unregisterRuns, tally.guarded);
    std::printf("duration %lu ms\n", static_cast<unsigned long>(elapsed));
    std::printf("statuses:");
    for (const auto& s : tally.statuses)
        std::printf(" %s %zu;", StatusName(s.first), s.second);
    std::printf("\nchecks:");
    for (const auto& c : tally.checks)
        std::printf(" %s %zu;", kCheckNames[static_cast<int>(c.first)], c.second);
    std::printf("\n");
    for (const auto& r : tally.looseReasons) std::printf("  loosely, %s: %zu\n", r.first.c_str(), r.second);
    std::printf("crashes 0, invariant violations %zu\n", tally.violations);
    std::printf("registrar_fuzz: %zu passed, %zu failed\n", tally.inputs - tally.violations,
                tally.violations);
    return tally.violations == 0 ? 0 : 1;
}
