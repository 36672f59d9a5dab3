#include "common/Random.h"

static uint64_t SplitMix(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

void TRandom::Seed(uint64_t seed) {
    uint64_t x = seed;
    uint64_t a = SplitMix(x), b = SplitMix(x);
    State[0] = static_cast<uint32_t>(a);
    State[1] = static_cast<uint32_t>(a >> 32);
    State[2] = static_cast<uint32_t>(b);
    State[3] = static_cast<uint32_t>(b >> 32);
    if ((State[0] | State[1] | State[2] | State[3]) == 0) State[0] = 1;
}

static inline uint32_t Rotl(uint32_t x, int k) {
    return (x << k) | (x >> (32 - k));
}

uint32_t TRandom::Next32() {
    const uint32_t result = Rotl(State[1] * 5, 7) * 9;
    const uint32_t t = State[1] << 9;
    State[2] ^= State[0];
    State[3] ^= State[1];
    State[1] ^= State[2];
    State[0] ^= State[3];
    State[2] ^= t;
    State[3] = Rotl(State[3], 11);
    return result;
}

int TRandom::Next(int n) {
    if (n <= 0) return 0;
    // Rejection sampling keeps every value equally likely.
    const uint32_t range = static_cast<uint32_t>(n);
    const uint32_t limit = UINT32_MAX - UINT32_MAX % range;
    uint32_t v;
    do v = Next32();
    while (v >= limit);
    return static_cast<int>(v % range);
}

double TRandom::NextReal() {
    return (Next32() >> 8) * (1.0 / 16777216.0);
}
