#include "pipeline/stages/GrainRandom.h"

#include <opencv2/core/hal/intrin.hpp>

#include <algorithm>

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

namespace {

// Terms worked out at a time, after the 32 they start from.
constexpr int kRun = 1024;

// (value >> 1) % 21 for sixteen terms, in vector lanes. 4096 and 64 are both 1 more than a
// multiple of 21, so adding a number's base-4096 digits, then its base-64 digits twice, keeps its
// remainder and brings it to at most 66; two conditional subtractions finish it.
#if CV_SIMD128
inline cv::v_uint8x16 Remainders21(const cv::v_uint32x4 terms[4])
{
    const cv::v_uint32x4 low12 = cv::v_setall_u32(4095);
    cv::v_uint32x4 digitSums[4];
    for (int k = 0; k < 4; ++k) {
        const cv::v_uint32x4 x = cv::v_shr<1>(terms[k]);
        digitSums[k] = (x & low12) + (cv::v_shr<12>(x) & low12) + cv::v_shr<24>(x); // at most 8317
    }
    cv::v_uint16x8 u[2] = { cv::v_pack(digitSums[0], digitSums[1]), cv::v_pack(digitSums[2], digitSums[3]) };
    const cv::v_uint16x8 low6 = cv::v_setall_u16(63);
    const cv::v_uint16x8 twentyOne = cv::v_setall_u16(21);
    const cv::v_uint16x8 fortyTwo = cv::v_setall_u16(42);
    for (auto& v : u) {
        v = (v & low6) + cv::v_shr<6>(v); // at most 192
        v = (v & low6) + cv::v_shr<6>(v); // at most 66
        v -= fortyTwo & (v >= fortyTwo);
        v -= twentyOne & (v >= twentyOne);
    }
    return cv::v_pack(u[0], u[1]);
}
#endif

} // namespace

void GrainRandom::FillLevels(std::uint8_t* out, int n)
{
#if CV_SIMD128
    // r[i] = r[i−31] + r[i−3] unrolled once more: r[i] = r[i−31] + r[i−34] + r[i−6], so four
    // neighbouring terms depend only on terms at least four places back. The terms run through a
    // linear buffer that starts with the last 32; the first two new ones still take the short form.
    std::uint32_t run[32 + kRun];
    while (n >= 64) {
        const int count = std::min(n, kRun) & ~15;
        for (int k = 0; k < 32; ++k)
            run[k] = ring_[(index_ + k) & kMask];
        run[32] = run[1] + run[29];
        run[33] = run[2] + run[30];
        out[0] = static_cast<std::uint8_t>((run[32] >> 1) % 21);
        out[1] = static_cast<std::uint8_t>((run[33] >> 1) % 21);
        cv::v_uint32x4 before = cv::v_load(run + 26); // r[j−8 … j−5]
        cv::v_uint32x4 last = cv::v_load(run + 30);   // r[j−4 … j−1]
        int j = 34;
        const int end = 32 + count;
        for (; j + 16 <= end; j += 16) {
            cv::v_uint32x4 terms[4];
            for (int k = 0; k < 4; ++k) {
                const int at = j + 4 * k;
                terms[k] = cv::v_load(run + at - 31) + cv::v_load(run + at - 34) + cv::v_extract<2>(before, last);
                cv::v_store(run + at, terms[k]);
                before = last;
                last = terms[k];
            }
            cv::v_store(out + (j - 32), Remainders21(terms));
        }
        for (; j < end; ++j) {
            run[j] = run[j - 31] + run[j - 3];
            out[j - 32] = static_cast<std::uint8_t>((run[j] >> 1) % 21);
        }
        for (int k = 0; k < 32; ++k)
            ring_[(index_ + count + k) & kMask] = run[count + k];
        index_ += static_cast<unsigned>(count);
        out += count;
        n -= count;
    }
#endif
    for (int k = 0; k < n; ++k)
        out[k] = static_cast<std::uint8_t>(static_cast<unsigned>(Next()) % 21);
}
