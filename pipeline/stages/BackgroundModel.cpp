#include "pipeline/stages/BackgroundModel.h"

#include "pipeline/stages/EdgeRefine.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The reduced picture is about this wide: enough for an arm to be several pixels across.
constexpr double kSmallWidth = 400;

cv::Size SmallSize(cv::Size frame)
{
    const int factor = std::max(1, static_cast<int>(std::lround(frame.width / kSmallWidth)));
    return { std::max(1, (frame.width + factor / 2) / factor), std::max(1, (frame.height + factor / 2) / factor) };
}

cv::Mat Reduce(const cv::Mat& bgr, cv::Size size)
{
    if (bgr.size() == size)
        return bgr;
    cv::Mat small;
    cv::resize(bgr, small, size, 0, 0, cv::INTER_LINEAR);
    return small;
}

// Brightness relative to the room (after the camera's overall gain is taken off): within
// [kDarkWeak, kBrightWeak] it is at most a weak difference, so shadows and exposure stay room;
// beyond kDarkStrong or kBrightStrong it is a strong one.
constexpr float kDarkWeak = 0.6f, kDarkStrong = 0.45f;
constexpr float kBrightWeak = 1.3f, kBrightStrong = 1.5f;
// Colour distance, in multiples of the pixel's noise, that counts as one unit of difference.
constexpr float kColourUnit = 3.0f;
// Changes of grey level between frames that count as motion (well above sensor noise).
constexpr int kMotionLevel = 10;
// The share of a reduced room pixel moved towards the new frame each frame: about 1.5 s to
// follow a change of light.
constexpr float kAdaptRate = 0.02f;

float BrightnessDifference(float relative)
{
    if (relative < 1) {
        if (relative >= kDarkWeak)
            return (1 - relative) / (1 - kDarkWeak);
        return 1 + (kDarkWeak - relative) / (kDarkWeak - kDarkStrong);
    }
    if (relative <= kBrightWeak)
        return (relative - 1) / (kBrightWeak - 1);
    return 1 + (relative - kBrightWeak) / (kBrightStrong - kBrightWeak);
}

} // namespace

void BackgroundModel::Reset()
{
    *this = BackgroundModel();
}

void BackgroundModel::Learn(const cv::Mat& bgr)
{
    if (bgr.empty())
        return;
    CV_Assert(bgr.type() == CV_8UC3);
    if (segmenting_ || bgr.size() != frameSize_ || learnt_ == 0) {
        Reset();
        frameSize_ = bgr.size();
        smallSize_ = SmallSize(frameSize_);
        sum_ = cv::Mat::zeros(smallSize_, CV_64FC3);
        sumSquares_ = cv::Mat::zeros(smallSize_, CV_64FC3);
    }
    const cv::Mat small = Reduce(bgr, smallSize_);
    cv::accumulate(small, sum_);
    cv::accumulateSquare(small, sumSquares_);
    ++learnt_;
}

void BackgroundModel::FinishLearning()
{
    const double n = learnt_;
    cv::Mat mean = sum_ / n;
    cv::Mat variance = sumSquares_ / n - mean.mul(mean);
    mean.convertTo(mean_, CV_32FC3);
    noise_.create(smallSize_, CV_32FC1);
    for (int y = 0; y < smallSize_.height; ++y) {
        const auto* m = mean_.ptr<cv::Vec3f>(y);
        const auto* v = variance.ptr<cv::Vec3d>(y);
        auto* out = noise_.ptr<float>(y);
        for (int x = 0; x < smallSize_.width; ++x) {
            const double var = std::max(0.0, (v[x][0] + v[x][1] + v[x][2]) / 3);
            // A floor for pixels that happened to be still while learning, and a share of the
            // brightness for the small colour shifts of any camera.
            const double relative = 0.015 * cv::norm(m[x]);
            out[x] = static_cast<float>(std::sqrt(var + 4.0 + relative * relative));
        }
    }
    sum_.release();
    sumSquares_.release();
    segmenting_ = true;
}

void BackgroundModel::Segment(const cv::Mat& bgr, cv::Mat& alpha)
{
    Segment(bgr, alpha, time_ + 1.0 / 30);
}

void BackgroundModel::Segment(const cv::Mat& bgr, cv::Mat& alpha, double seconds)
{
    if (bgr.empty()) {
        alpha.release();
        return;
    }
    CV_Assert(bgr.type() == CV_8UC3);
    if (ready() && bgr.size() != frameSize_)
        Reset(); // the camera's picture size changed: the room must be learnt again
    if (!ready()) {
        alpha.create(bgr.size(), CV_8UC1);
        alpha.setTo(255);
        return;
    }
    if (!segmenting_)
        FinishLearning();
    const cv::Mat small = Reduce(bgr, smallSize_);
    Score(small);
    Decide();
    Smooth(small);
    Adapt(small);
    WatchForChange(seconds);
    RefineMaskEdges(bgr, small, soft_, alpha);
}

void BackgroundModel::Score(const cv::Mat& small)
{
    // The camera's overall gain against the room: the median brightness ratio, taken on a grid
    // of pixels (the person covers less than half of them).
    std::vector<float> ratios;
    ratios.reserve(static_cast<std::size_t>(small.total() / 16 + 1));
    for (int y = 0; y < small.rows; y += 4) {
        const auto* in = small.ptr<cv::Vec3b>(y);
        const auto* m = mean_.ptr<cv::Vec3f>(y);
        for (int x = 0; x < small.cols; x += 4) {
            const float ee = m[x].dot(m[x]);
            if (ee < 400)
                continue; // too dark to tell
            const cv::Vec3f i(in[x][0], in[x][1], in[x][2]);
            ratios.push_back(i.dot(m[x]) / ee);
        }
    }
    float gain = 1;
    if (!ratios.empty()) {
        auto middle = ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2);
        std::nth_element(ratios.begin(), middle, ratios.end());
        gain = std::clamp(*middle, 0.5f, 2.0f);
    }

    score_.create(small.size(), CV_32FC1);
    for (int y = 0; y < small.rows; ++y) {
        const auto* in = small.ptr<cv::Vec3b>(y);
        const auto* m = mean_.ptr<cv::Vec3f>(y);
        const float* noise = noise_.ptr<float>(y);
        float* out = score_.ptr<float>(y);
        for (int x = 0; x < small.cols; ++x) {
            const cv::Vec3f i(in[x][0], in[x][1], in[x][2]);
            const cv::Vec3f& e = m[x];
            const float ee = std::max(e.dot(e), 1.0f);
            // The room's colour scaled to match the pixel best: the scale is the brightness, what
            // is left over the colour difference.
            const float brightness = i.dot(e) / ee;
            const float colour = static_cast<float>(cv::norm(i - brightness * e));
            const float unit = kColourUnit * noise[x];
            const float relative = brightness / gain;
            // A dark pixel's ratio says little: its brightness must also differ by several noise
            // levels.
            const float bright = std::min(BrightnessDifference(relative), std::abs(relative - 1) * std::sqrt(ee) / unit);
            out[x] = std::max(colour / unit, bright);
        }
    }
}

void BackgroundModel::Decide()
{
    const cv::Size size = score_.size();
    const int pixels = size.area();
    // Hysteresis: weak differences count where they touch strong ones. A pixel that was person
    // in the last frame needs only a weak difference to stay so, which keeps the edge still.
    const cv::Mat weak = score_ > 1.0f;
    cv::Mat strong = score_ > 2.0f;
    if (!decided_.empty())
        strong |= weak & decided_;
    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(weak, labels, stats, centroids, 8, CV_32S);
    const int speckle = std::max(4, pixels / 2000);
    std::vector<uchar> keep(static_cast<std::size_t>(count), 0);
    for (int y = 0; y < size.height; ++y) {
        const int* l = labels.ptr<int>(y);
        const uchar* s = strong.ptr<uchar>(y);
        for (int x = 0; x < size.width; ++x)
            if (s[x] && l[x] > 0)
                keep[static_cast<std::size_t>(l[x])] = 1;
    }
    for (int k = 1; k < count; ++k)
        if (stats.at<int>(k, cv::CC_STAT_AREA) < speckle)
            keep[static_cast<std::size_t>(k)] = 0;
    decided_.create(size, CV_8UC1);
    for (int y = 0; y < size.height; ++y) {
        const int* l = labels.ptr<int>(y);
        uchar* d = decided_.ptr<uchar>(y);
        for (int x = 0; x < size.width; ++x)
            d[x] = keep[static_cast<std::size_t>(l[x])] ? 255 : 0;
    }

    // Holes: room-like regions enclosed by the person. Small ones are filled; larger ones only
    // when they differ from the room on average (a shirt close to the wall's colour), so the
    // room seen between an arm and the body stays room.
    const cv::Mat room = ~decided_;
    const int holeCount = cv::connectedComponentsWithStats(room, labels, stats, centroids, 4, CV_32S);
    std::vector<double> holeScore(static_cast<std::size_t>(holeCount), 0.0);
    for (int y = 0; y < size.height; ++y) {
        const int* l = labels.ptr<int>(y);
        const float* s = score_.ptr<float>(y);
        for (int x = 0; x < size.width; ++x)
            holeScore[static_cast<std::size_t>(l[x])] += s[x];
    }
    const int smallHole = std::max(4, pixels / 1500);
    const int largestHole = pixels / 50;
    std::vector<uchar> fill(static_cast<std::size_t>(holeCount), 0);
    for (int k = 1; k < holeCount; ++k) {
        const int left = stats.at<int>(k, cv::CC_STAT_LEFT), top = stats.at<int>(k, cv::CC_STAT_TOP);
        const int width = stats.at<int>(k, cv::CC_STAT_WIDTH), height = stats.at<int>(k, cv::CC_STAT_HEIGHT);
        const int area = stats.at<int>(k, cv::CC_STAT_AREA);
        const bool enclosed = left > 0 && top > 0 && left + width < size.width && top + height < size.height;
        const double meanScore = holeScore[static_cast<std::size_t>(k)] / area;
        fill[static_cast<std::size_t>(k)] = enclosed && (area <= smallHole || (area <= largestHole && meanScore > 0.5));
    }
    for (int y = 0; y < size.height; ++y) {
        const int* l = labels.ptr<int>(y);
        uchar* d = decided_.ptr<uchar>(y);
        for (int x = 0; x < size.width; ++x)
            if (l[x] > 0 && fill[static_cast<std::size_t>(l[x])])
                d[x] = 255;
    }
}

void BackgroundModel::Smooth(const cv::Mat& small)
{
    cv::Mat grey;
    cv::cvtColor(small, grey, cv::COLOR_BGR2GRAY);
    cv::Mat decided;
    decided_.convertTo(decided, CV_32F, 1.0 / 255);
    if (soft_.empty() || previousGrey_.size() != grey.size()) {
        soft_ = decided;
    } else {
        // Still pixels average the last two decisions, which calms the noise at the edge; where
        // the picture moves (an arm waving) the new decision is taken at once, so nothing trails.
        cv::Mat moving;
        cv::absdiff(grey, previousGrey_, moving);
        moving = moving > kMotionLevel;
        cv::dilate(moving, moving, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(5, 5)));
        cv::Mat blended = 0.5 * soft_ + 0.5 * decided;
        decided.copyTo(blended, moving);
        soft_ = blended;
    }
    previousGrey_ = grey;
}

void BackgroundModel::Adapt(const cv::Mat& small)
{
    // Only room pixels well away from the person follow the light, or the person would
    // slowly become room.
    cv::Mat room = (soft_ < 0.02f) & (score_ < 1.0f);
    cv::erode(room, room, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(7, 7)), cv::Point(-1, -1), 1,
        cv::BORDER_REPLICATE);
    for (int y = 0; y < small.rows; ++y) {
        const auto* in = small.ptr<cv::Vec3b>(y);
        const uchar* r = room.ptr<uchar>(y);
        auto* m = mean_.ptr<cv::Vec3f>(y);
        for (int x = 0; x < small.cols; ++x)
            if (r[x])
                m[x] += kAdaptRate * (cv::Vec3f(in[x][0], in[x][1], in[x][2]) - m[x]);
    }
}

void BackgroundModel::WatchForChange(double seconds)
{
    time_ = seconds;
    const double differing = cv::countNonZero(score_ > 1.0f) / static_cast<double>(score_.total());
    if (differing < kChangedShare) {
        changedSince_ = -1;
        return;
    }
    if (changedSince_ < 0)
        changedSince_ = seconds;
    if (seconds - changedSince_ >= kChangedSeconds - 1e-6) // sums of 1/30 s fall just short
        sceneChanged_ = true;
}
