#include "pipeline/stages/ZoomCut.h"

#include <opencv2/imgproc.hpp>

void TakeWorkFrame(const cv::Mat& raw, cv::Mat& work, const std::optional<cv::Rect>& zoomRect, int flipMode)
{
    if (raw.empty())
        return;
    const cv::Size size = work.empty() ? raw.size() : work.size();
    if (work.empty() || work.type() != raw.type())
        work.create(size, raw.type());

    const cv::Rect cut = zoomRect ? (*zoomRect & cv::Rect(0, 0, raw.cols, raw.rows)) : cv::Rect();
    if (!cut.empty()) {
        cv::resize(raw(cut), work, size, 0, 0, cv::INTER_LINEAR);
    } else if (raw.size() == size) {
        if (!FlipInto(raw, work, flipMode))
            raw.copyTo(work);
        return;
    } else {
        cv::resize(raw, work, size, 0, 0, cv::INTER_LINEAR);
    }
    ApplyFlip(work, flipMode);
}
