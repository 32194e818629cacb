#pragma once

#include <cstdint>

// The same number sequence as the GNU C library's rand() after srand(seed) (its additive
// feedback generator of degree 31: r[i] = r[i−31] + r[i−3]), without rand()'s lock and without
// sharing its global state. One thread uses one object.
class GrainRandom {
public:
    // Seed 1 is where rand() starts when srand() was never called.
    explicit GrainRandom(unsigned seed = 1) { Seed(seed); }

    void Seed(unsigned seed);

    // 0 … 2147483647, like rand().
    int Next()
    {
        // The last 32 terms live in a ring: r[i−31] sits where r[i] goes next but one.
        const std::uint32_t value = ring_[(index_ + 1) & kMask] + ring_[(index_ - 3) & kMask];
        ring_[index_ & kMask] = value;
        ++index_;
        return static_cast<int>(value >> 1);
    }

    // The next n values, as n calls of Next() would give them, three at a time.
    void Fill(int* out, int n)
    {
        unsigned i = index_;
        std::uint32_t a = ring_[(i - 3) & kMask];
        std::uint32_t b = ring_[(i - 2) & kMask];
        std::uint32_t c = ring_[(i - 1) & kMask];
        int k = 0;
        for (; k + 3 <= n; k += 3, i += 3) {
            a += ring_[(i + 1) & kMask];
            b += ring_[(i + 2) & kMask];
            c += ring_[(i + 3) & kMask];
            ring_[i & kMask] = a;
            ring_[(i + 1) & kMask] = b;
            ring_[(i + 2) & kMask] = c;
            out[k] = static_cast<int>(a >> 1);
            out[k + 1] = static_cast<int>(b >> 1);
            out[k + 2] = static_cast<int>(c >> 1);
        }
        index_ = i;
        for (; k < n; ++k)
            out[k] = Next();
    }

    // The next n values modulo 21 (the grain's levels), as n calls of Next() % 21 would give them.
    void FillLevels(std::uint8_t* out, int n);

private:
    static constexpr unsigned kMask = 31;
    std::uint32_t ring_[32] {};
    unsigned index_ = 0;
};
