#pragma once
// Deterministic mutations of files the program made, for the readers' fuzz
// tests: bit flips, bytes set to edge values, cuts, repeats and holes. A run
// is bounded by a count and by time; VEXEL_FUZZ_RUNS sets the count of a
// longer session and lifts the time bound.
#include <chrono>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "library/sqlite_statement.h"

namespace v2d::test {

inline Blob Mutate(const Blob& seed, std::mt19937& rng, size_t from = 0) {
    Blob b = seed;
    auto at = [&]() { return from >= b.size() ? size_t(0) : std::uniform_int_distribution<size_t>(from, b.size() - 1)(rng); };
    for (int n = 1 + static_cast<int>(rng() % 4); n > 0 && !b.empty(); --n) {
        const size_t i = at();
        switch (rng() % 6) {
            case 0: b[i] ^= static_cast<uint8_t>(1u << (rng() % 8)); break;
            case 1: b[i] = static_cast<uint8_t>(rng()); break;
            case 2: {  // a 32-bit field set to an edge value
                const uint32_t edges[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, static_cast<uint32_t>(b.size())};
                const uint32_t v = edges[rng() % 6];
                std::memcpy(b.data() + i, &v, std::min<size_t>(4, b.size() - i));
                break;
            }
            case 3: b.resize(i); break;
            case 4: b.insert(b.begin() + i, b.begin() + i, b.begin() + std::min(b.size(), i + 1 + rng() % 64)); break;
            default: b.erase(b.begin() + i, b.begin() + std::min(b.size(), i + 1 + rng() % 64)); break;
        }
    }
    return b;
}

// Calls check(mutant) for up to `runs` mutants (VEXEL_FUZZ_RUNS when set)
// within `seconds`; returns how many ran.
template <class Check>
size_t Fuzz(const std::vector<Blob>& seeds, size_t runs, double seconds, Check check, size_t from = 0) {
    const char* env = std::getenv("VEXEL_FUZZ_RUNS");
    if (env) runs = std::strtoull(env, nullptr, 10), seconds = 1e9;
    std::mt19937 rng(20261208);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    size_t done = 0;
    for (; done < runs && std::chrono::steady_clock::now() < end; ++done) check(Mutate(seeds[done % seeds.size()], rng, from));
    return done;
}

}  // namespace v2d::test
