#include "pipeline/GrainRandom.h"

void GrainRandom::Seed(unsigned seed)
{
    if (seed == 0)
        seed = 1;
    // Park-Miller "minimal standard" steps fill the table, computed without overflow (Schrage).
    std::int32_t word = static_cast<std::int32_t>(seed);
    state_[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < kDegree; ++i) {
        const long hi = word / 127773;
        const long lo = word % 127773;
        long next = 16807 * lo - 2836 * hi;
        if (next < 0)
            next += 2147483647;
        word = static_cast<std::int32_t>(next);
        state_[i] = static_cast<std::uint32_t>(word);
    }
    front_ = kSeparation;
    rear_ = 0;
    // The first ten rounds are discarded to stir the table.
    for (int i = 0; i < 10 * kDegree; ++i)
        Next();
}
