#pragma once

#include <opencv2/core/utility.hpp>

#include <algorithm>

// Runs work(firstRow, endRow) over rows 0 … rows − 1, in strips shared among OpenCV's threads, or
// all at once when there is one thread or too little work to share: on one core, strips handed
// between threads only cost time.
template <class Work>
void ForEachStrip(int rows, int rowBytes, Work work)
{
    constexpr long kLeastSharedBytes = 256 * 1024;
    const int threads = cv::getNumThreads();
    if (rows <= 0)
        return;
    if (threads <= 1 || static_cast<long>(rows) * rowBytes < kLeastSharedBytes) {
        work(0, rows);
        return;
    }
    // A few strips per thread, so one held up by other work on its core does not hold all.
    const int strips = std::min(rows, threads * 4);
    cv::parallel_for_(cv::Range(0, strips), [&](const cv::Range& range) {
        work(static_cast<int>(static_cast<long>(rows) * range.start / strips),
            static_cast<int>(static_cast<long>(rows) * range.end / strips));
    });
}
