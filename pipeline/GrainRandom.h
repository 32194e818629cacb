#pragma once

#include <cstdint>

// The same number sequence as the GNU C library's rand() after srand(seed) (its additive
// feedback generator of degree 31), without rand()'s lock and without sharing its global state.
// One thread uses one object.
class GrainRandom {
public:
    // Seed 1 is where rand() starts when srand() was never called.
    explicit GrainRandom(unsigned seed = 1) { Seed(seed); }

    void Seed(unsigned seed);

    // 0 … 2147483647, like rand().
    int Next()
    {
        state_[front_] += state_[rear_];
        const int result = static_cast<int>(state_[front_] >> 1);
        if (++front_ == kDegree) {
            front_ = 0;
            ++rear_;
        } else if (++rear_ == kDegree) {
            rear_ = 0;
        }
        return result;
    }

private:
    static constexpr int kDegree = 31;
    static constexpr int kSeparation = 3;
    std::uint32_t state_[kDegree] {};
    int front_ = kSeparation;
    int rear_ = 0;
};
