#pragma once
#include <cstdint>

// The program's one pseudo-random generator (xoshiro128** seeded through splitmix64).
// Seeded from the clock at start; the headless backend's fixed clock makes it repeatable.
class TRandom {
public:
    void Seed(uint64_t seed);
    // A uniform integer in 0 .. n-1; 0 when n <= 0.
    int Next(int n);
    // A uniform real in [0, 1).
    double NextReal();

private:
    uint32_t Next32();
    uint32_t State[4] = {1, 2, 3, 4};
};
