#include "pipeline/stages/GrainRandom.h"

void GrainRandom::Seed(unsigned seed)
{
    if (seed == 0)
        seed = 1;
    // r[0 … 30]: Park-Miller "minimal standard" steps from the seed, computed without overflow
    // (Schrage); r[31 … 33] repeat r[0 … 2].
    std::uint32_t r[34];
    std::int32_t word = static_cast<std::int32_t>(seed);
    r[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < 31; ++i) {
        const long hi = word / 127773;
        const long lo = word % 127773;
        long next = 16807 * lo - 2836 * hi;
        if (next < 0)
            next += 2147483647;
        word = static_cast<std::int32_t>(next);
        r[i] = static_cast<std::uint32_t>(word);
    }
    for (int i = 31; i < 34; ++i)
        r[i] = r[i - 31];
    for (int i = 2; i < 34; ++i)
        ring_[i & kMask] = r[i];
    index_ = 34;
    // The first 310 terms after those are stirred away; rand() starts with r[344].
    for (int i = 0; i < 310; ++i)
        Next();
}
