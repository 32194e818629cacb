#include "pipeline/stages/FlipKernel.h"

#include <opencv2/core/hal/intrin.hpp>

namespace kernels_wide {

int MirrorRowVectors(const std::uint8_t* in, std::uint8_t* out, int n)
{
    int x = 0;
#if CV_SIMD
    using namespace cv;
    constexpr int kLanes = v_uint8::nlanes;
    // The last pixels of the input, split into planes, reversed and put back together, are the
    // first of the output.
    for (; x + kLanes <= n; x += kLanes) {
        v_uint8 b, g, r;
        v_load_deinterleave(in + 3 * (n - x - kLanes), b, g, r);
        v_store_interleave(out + 3 * x, v_reverse(b), v_reverse(g), v_reverse(r));
    }
    vx_cleanup();
#else
    (void)in;
    (void)out;
    (void)n;
#endif
    return x;
}

} // namespace kernels_wide
