#include "pipeline/stages/BackgroundModel.h"

#include "pipeline/stages/EdgeRefine.h"

#include <opencv2/core/hal/intrin.hpp>
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
// The edge refine's window: 3 × 3 reduced pixels. The band of full-size pixels it must work is
// 7 reduced pixels wide (11 with a 5 × 5 window), and the outline stays within a third of a pixel
// of the true one at 640 × 480.
const EdgeRefineParams kRefine { 1, 0.004 };

// How strongly a pixel of colour i differs from the room's e there, in units of its noise: the
// room's colour scaled to match the pixel best gives the brightness (the scale) and the colour
// difference (what is left over). The brightness difference is the larger of four lines: within
// [kDarkWeak, kBrightWeak] it stays at most 1, beyond kDarkStrong or kBrightStrong it passes 2.
struct Scorer {
    float invGain;
    static constexpr float kDarkSlope = 1 / (1 - kDarkWeak), kDarkerSlope = 1 / (kDarkWeak - kDarkStrong);
    static constexpr float kBrightSlope = 1 / (kBrightWeak - 1), kBrighterSlope = 1 / (kBrightStrong - kBrightWeak);

    float operator()(float i0, float i1, float i2, float e0, float e1, float e2, float noise) const
    {
        const float ee = std::max(e0 * e0 + e1 * e1 + e2 * e2, 1.0f);
        const float brightness = (i0 * e0 + i1 * e1 + i2 * e2) / ee;
        const float r0 = i0 - brightness * e0, r1 = i1 - brightness * e1, r2 = i2 - brightness * e2;
        const float colour = std::sqrt(r0 * r0 + r1 * r1 + r2 * r2);
        const float perUnit = 1 / (kColourUnit * noise);
        const float relative = brightness * invGain;
        const float lines = std::max(std::max((1 - relative) * kDarkSlope, 1 + (kDarkWeak - relative) * kDarkerSlope),
            std::max((relative - 1) * kBrightSlope, 1 + (relative - kBrightWeak) * kBrighterSlope));
        // A dark pixel's ratio says little: its brightness must also differ by several noise
        // levels.
        const float bright = std::min(lines, std::abs(relative - 1) * std::sqrt(ee) * perUnit);
        return std::max(colour * perUnit, bright);
    }
};

// One row: in and mean are BGR triples (floats), noise and out one float per pixel.
void ScoreRow(const float* in, const float* mean, const float* noise, float invGain, float* out, int width)
{
    const Scorer score { invGain };
    int x = 0;
#if CV_SIMD128
    const cv::v_float32x4 one = cv::v_setall_f32(1), unit = cv::v_setall_f32(kColourUnit), gain = cv::v_setall_f32(invGain);
    const cv::v_float32x4 darkWeak = cv::v_setall_f32(kDarkWeak), brightWeak = cv::v_setall_f32(kBrightWeak);
    const cv::v_float32x4 darkSlope = cv::v_setall_f32(Scorer::kDarkSlope), darkerSlope = cv::v_setall_f32(Scorer::kDarkerSlope);
    const cv::v_float32x4 brightSlope = cv::v_setall_f32(Scorer::kBrightSlope), brighterSlope = cv::v_setall_f32(Scorer::kBrighterSlope);
    for (; x + 4 <= width; x += 4) {
        cv::v_float32x4 i0, i1, i2, e0, e1, e2;
        cv::v_load_deinterleave(in + 3 * x, i0, i1, i2);
        cv::v_load_deinterleave(mean + 3 * x, e0, e1, e2);
        const cv::v_float32x4 ee = cv::v_max(e0 * e0 + e1 * e1 + e2 * e2, one);
        const cv::v_float32x4 brightness = (i0 * e0 + i1 * e1 + i2 * e2) / ee;
        const cv::v_float32x4 r0 = i0 - brightness * e0, r1 = i1 - brightness * e1, r2 = i2 - brightness * e2;
        const cv::v_float32x4 colour = cv::v_sqrt(r0 * r0 + r1 * r1 + r2 * r2);
        const cv::v_float32x4 perUnit = one / (unit * cv::v_load(noise + x));
        const cv::v_float32x4 relative = brightness * gain;
        const cv::v_float32x4 lines = cv::v_max(cv::v_max((one - relative) * darkSlope, one + (darkWeak - relative) * darkerSlope),
            cv::v_max((relative - one) * brightSlope, one + (relative - brightWeak) * brighterSlope));
        const cv::v_float32x4 bright = cv::v_min(lines, cv::v_abs(relative - one) * cv::v_sqrt(ee) * perUnit);
        cv::v_store(out + x, cv::v_max(colour * perUnit, bright));
    }
#endif
    for (; x < width; ++x)
        out[x] = score(in[3 * x], in[3 * x + 1], in[3 * x + 2], mean[3 * x], mean[3 * x + 1], mean[3 * x + 2], noise[x]);
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
    RefineMaskEdges(bgr, small, soft_, alpha, kRefine);
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
    std::vector<float> row(static_cast<std::size_t>(small.cols) * 3);
    for (int y = 0; y < small.rows; ++y) {
        const uchar* in = small.ptr<uchar>(y);
        for (std::size_t k = 0; k < row.size(); ++k)
            row[k] = in[k];
        ScoreRow(row.data(), mean_.ptr<float>(y), noise_.ptr<float>(y), 1 / gain, score_.ptr<float>(y), small.cols);
    }
}

void BackgroundModel::Decide()
{
    const cv::Size size = score_.size();
    const int pixels = size.area();
    // Hysteresis: weak differences count where they touch strong ones. A pixel that was person
    // in the last frame needs only a weak difference to stay so, which keeps the edge still.
    const cv::Mat weak = score_ > 1.0f;
    cv::Mat labels;
    const int count = cv::connectedComponents(weak, labels, 8, CV_32S);
    const bool hadPerson = !decided_.empty();
    std::vector<int> area(static_cast<std::size_t>(count), 0);
    std::vector<uchar> keep(static_cast<std::size_t>(count), 0);
    for (int y = 0; y < size.height; ++y) {
        const int* l = labels.ptr<int>(y);
        const float* s = score_.ptr<float>(y);
        const uchar* d = hadPerson ? decided_.ptr<uchar>(y) : nullptr;
        for (int x = 0; x < size.width; ++x) {
            if (l[x] == 0)
                continue;
            const auto k = static_cast<std::size_t>(l[x]);
            ++area[k];
            if (s[x] > 2.0f || (d && d[x]))
                keep[k] = 1;
        }
    }
    const int speckle = std::max(4, pixels / 2000);
    for (int k = 1; k < count; ++k)
        if (area[static_cast<std::size_t>(k)] < speckle)
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
    const int holeCount = cv::connectedComponents(room, labels, 4, CV_32S);
    std::vector<double> holeScore(static_cast<std::size_t>(holeCount), 0.0);
    area.assign(static_cast<std::size_t>(holeCount), 0);
    // Regions touching the picture's border are not enclosed.
    std::vector<uchar> open(static_cast<std::size_t>(holeCount), 0);
    for (int y = 0; y < size.height; ++y) {
        const int* l = labels.ptr<int>(y);
        const float* s = score_.ptr<float>(y);
        for (int x = 0; x < size.width; ++x) {
            const auto k = static_cast<std::size_t>(l[x]);
            holeScore[k] += s[x];
            ++area[k];
        }
        open[static_cast<std::size_t>(l[0])] = open[static_cast<std::size_t>(l[size.width - 1])] = 1;
        if (y == 0 || y == size.height - 1)
            for (int x = 0; x < size.width; ++x)
                open[static_cast<std::size_t>(l[x])] = 1;
    }
    const int smallHole = std::max(4, pixels / 1500);
    const int largestHole = pixels / 50;
    std::vector<uchar> fill(static_cast<std::size_t>(holeCount), 0);
    for (int k = 1; k < holeCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const double meanScore = holeScore[i] / area[i];
        fill[i] = !open[i] && (area[i] <= smallHole || (area[i] <= largestHole && meanScore > 0.5));
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
