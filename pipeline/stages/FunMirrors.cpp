#include "pipeline/stages/FunMirrors.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

using Maps = FunMapCache::Maps;
using Key = FunMapCache::Key;

constexpr double kPi = std::numbers::pi;

void CheckFrame(const cv::Mat& frame)
{
    CV_Assert(frame.empty() || frame.type() == CV_8UC3);
}

// The middle of the picture, as a pixel position (halves round down).
cv::Point2d Middle(const cv::Mat& frame)
{
    return { (frame.cols - 1) / 2.0, (frame.rows - 1) / 2.0 };
}

// v reflected into 0 … n − 1 about the end pixels (… 2 1 0 1 2 … n−2 n−1 n−2 …).
float Reflect(float v, int n)
{
    if (n <= 1)
        return 0;
    const float period = 2.0f * static_cast<float>(n - 1);
    v = std::fmod(std::fabs(v), period);
    return v > static_cast<float>(n - 1) ? period - v : v;
}

constexpr int kBandRows = 8;

// Bands of kBandRows rows over an ellipse with radii (a, b) centred at centre, each as wide as the
// ellipse in its widest row, clipped to bounds. A remap over these instead of the whole square
// leaves out the corners, a fifth of it.
std::vector<cv::Rect> EllipseBands(cv::Point2d centre, double a, double b, cv::Rect bounds)
{
    std::vector<cv::Rect> bands;
    for (int top = bounds.y; top < bounds.br().y; top += kBandRows) {
        const int bottom = std::min(bounds.br().y, top + kBandRows);
        // The band's row nearest the centre is its widest.
        const double nearest = std::clamp(centre.y, static_cast<double>(top), static_cast<double>(bottom - 1)) - centre.y;
        const double v = b > 0 ? nearest / b : 1;
        if (std::fabs(v) >= 1)
            continue;
        const double half = a * std::sqrt(1 - v * v);
        const int left = static_cast<int>(std::floor(centre.x - half));
        const int right = static_cast<int>(std::ceil(centre.x + half)) + 1;
        const cv::Rect band = cv::Rect(left, top, right - left, bottom - top) & bounds;
        if (!band.empty())
            bands.push_back(band);
    }
    return bands;
}

// Float maps to the fixed-point pair that cv::remap reads fastest.
void StoreMaps(Maps& maps, const cv::Mat& mapX, const cv::Mat& mapY)
{
    cv::convertMaps(mapX, mapY, maps.xy, maps.fraction, CV_16SC2);
}

// A lens: for an offset (dx, dy) from its centre and t = the elliptic distance (0 at the centre,
// 1 on the rim, t < 1), the offset to take the pixel from.
using LensProfile = cv::Point2f (*)(float dx, float dy, float t);

// Maps over the lens's own square, (2a + 1) × (2b + 1) with the centre in the middle, in that
// square's coordinates. Outside the ellipse every pixel takes itself, so a lens only moves
// pixels within its ellipse and only takes them from there (the profiles keep the ellipse).
void BuildLens(Maps& maps, cv::Size radii, LensProfile profile)
{
    const int a = radii.width;
    const int b = radii.height;
    cv::Mat mapX(2 * b + 1, 2 * a + 1, CV_32FC1);
    cv::Mat mapY(mapX.size(), CV_32FC1);
    for (int y = 0; y < mapX.rows; ++y) {
        float* mx = mapX.ptr<float>(y);
        float* my = mapY.ptr<float>(y);
        const float dy = static_cast<float>(y - b);
        const float v = dy / static_cast<float>(b);
        for (int x = 0; x < mapX.cols; ++x) {
            const float dx = static_cast<float>(x - a);
            const float u = dx / static_cast<float>(a);
            const float t2 = u * u + v * v;
            if (t2 >= 1.0f) {
                mx[x] = static_cast<float>(x);
                my[x] = static_cast<float>(y);
                continue;
            }
            const cv::Point2f from = profile(dx, dy, std::sqrt(t2));
            mx[x] = static_cast<float>(a) + from.x;
            my[x] = static_cast<float>(b) + from.y;
        }
    }
    StoreMaps(maps, mapX, mapY);
    maps.bands = EllipseBands({ static_cast<double>(a), static_cast<double>(b) }, a, b, cv::Rect(0, 0, mapX.cols, mapX.rows));
}

// Runs a lens centred on centre (clamped into the picture). Lens maps are relative to the lens,
// so a lens that follows a face moves without being rebuilt; only new radii rebuild it.
void ApplyLens(cv::Mat& frame, FunMapCache& cache, MirrorKind kind, cv::Point centre, cv::Size radii,
    LensProfile profile)
{
    CheckFrame(frame);
    if (frame.empty() || radii.width < 1 || radii.height < 1)
        return;
    centre.x = std::clamp(centre.x, 0, frame.cols - 1);
    centre.y = std::clamp(centre.y, 0, frame.rows - 1);
    const Maps& maps = cache.Get(kind, Key { {}, {}, radii }, [&](Maps& m) { BuildLens(m, radii, profile); });

    const cv::Rect square(centre.x - radii.width, centre.y - radii.height, 2 * radii.width + 1, 2 * radii.height + 1);
    const cv::Rect visible = square & cv::Rect(0, 0, frame.cols, frame.rows);
    // The source square, its parts past the picture edge repeating the edge: the lens takes pixels
    // from within its ellipse only, so those parts are read only where the ellipse leaves the picture.
    cv::Mat& source = cache.Scratch();
    cv::copyMakeBorder(frame(visible), source, visible.y - square.y, square.br().y - visible.br().y,
        visible.x - square.x, square.br().x - visible.br().x, cv::BORDER_REPLICATE);
    const cv::Rect frameRect(0, 0, frame.cols, frame.rows);
    for (const cv::Rect& band : maps.bands) {
        const cv::Rect part = (band + square.tl()) & frameRect;
        if (part.empty())
            continue;
        const cv::Rect local = part - square.tl();
        cv::Mat target = frame(part);
        cv::remap(source, target, maps.xy(local), maps.fraction(local), cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    }
}

cv::Point Rounded(cv::Point2d p)
{
    return { static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)) };
}

// The full-picture lenses' radius: within the picture, so its border stays.
int MiddleLensRadius(const cv::Mat& frame)
{
    return static_cast<int>(0.4 * std::min(frame.cols, frame.rows));
}

constexpr float kBulgeStrength = 0.5f;  // the centre drawn twice as large
constexpr float kPinchStrength = 0.7f;  // the centre 1.7 times smaller
constexpr float kTwirlAngle = 2.4f;     // radians at the centre
constexpr float kThinStrength = 0.45f;  // the middle of the face 1.45 times narrower

// Nearly even magnification over the inner half, falling to none at the rim, so a face inside
// grows as a whole rather than just its nose; monotonic for strengths below 1.
cv::Point2f BulgeProfile(float dx, float dy, float t)
{
    const float inner = 1.0f - t * t;
    const float s = 1.0f - kBulgeStrength * inner * inner;
    return { dx * s, dy * s };
}

// Monotonic and within the ellipse for strengths below 3: the rim keeps its place.
cv::Point2f PinchProfile(float dx, float dy, float t)
{
    const float s = 1.0f + kPinchStrength * (1.0f - t) * (1.0f - t);
    return { dx * s, dy * s };
}

cv::Point2f TwirlProfile(float dx, float dy, float t)
{
    const float angle = kTwirlAngle * (1.0f - t) * (1.0f - t);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return { dx * c - dy * s, dx * s + dy * c };
}

cv::Point2f ThinProfile(float dx, float dy, float t)
{
    return { dx * (1.0f + kThinStrength * (1.0f - t) * (1.0f - t)), dy };
}

// A face's centre in whole pixels, or the picture's middle without a usable one.
cv::Point FaceCentre(const cv::Mat& frame, const std::optional<FunFace>& face)
{
    if (face && std::isfinite(face->centre.x) && std::isfinite(face->centre.y))
        return { static_cast<int>(std::lround(std::clamp(face->centre.x, 0.0f, static_cast<float>(frame.cols - 1)))),
            static_cast<int>(std::lround(std::clamp(face->centre.y, 0.0f, static_cast<float>(frame.rows - 1)))) };
    return Rounded(Middle(frame));
}

// A length from a face's width (times factor) or, without one, from the picture (times fallback),
// in steps of 4 pixels so that a face's width wavering by a pixel does not rebuild the maps; at
// most the picture's shorter side (a face box fits in the picture), so that a wild width cannot
// ask for maps of gigabytes.
int FaceLength(const cv::Mat& frame, const std::optional<FunFace>& face, float factor, float fallback)
{
    const int most = std::min(frame.cols, frame.rows);
    float length = fallback * static_cast<float>(std::min(frame.cols, frame.rows));
    if (face && std::isfinite(face->width) && face->width > 0)
        length = std::min(factor * face->width, static_cast<float>(most));
    if (length >= 4)
        return std::min(most, static_cast<int>(std::lround(length / 4)) * 4);
    return static_cast<int>(length);
}

// Stretch and squeeze: each output row is taken from one row t (as −1 … 1 from top to bottom)
// to g(t), with g(±1) = ±1 so the top and bottom rows stay.
using RowProfile = double (*)(double t);

double StretchRows(double t)
{
    constexpr double slope = 0.6; // the middle drawn 1.7 times taller
    return t * (slope + (1 - slope) * t * t);
}

double SqueezeRows(double t)
{
    constexpr double slope = 1.4; // the middle 1.4 times flatter; still rising at the edges
    return t * (slope - (slope - 1) * t * t);
}

void BuildRows(Maps& maps, int rows, RowProfile profile)
{
    maps.rows.resize(rows);
    maps.rowWeights.resize(rows);
    const double half = (rows - 1) / 2.0;
    for (int y = 0; y < rows; ++y) {
        double from = y;
        if (half > 0)
            from = std::clamp(half + half * profile((y - half) / half), 0.0, rows - 1.0);
        int first = static_cast<int>(std::floor(from));
        int weight = static_cast<int>(std::lround((from - first) * 256));
        if (weight == 256) {
            ++first;
            weight = 0;
        }
        if (first >= rows - 1) {
            first = rows - 1;
            weight = 0;
        }
        maps.rows[y] = first;
        maps.rowWeights[y] = static_cast<std::uint16_t>(weight);
    }
}

void ApplyRows(cv::Mat& frame, FunMapCache& cache, MirrorKind kind, RowProfile profile)
{
    CheckFrame(frame);
    if (frame.empty())
        return;
    const Maps& maps = cache.Get(kind, Key { frame.size(), Rounded(Middle(frame)), {} },
        [&](Maps& m) { BuildRows(m, frame.rows, profile); });
    cv::Mat& source = cache.Scratch();
    frame.copyTo(source);
    const int bytes = frame.cols * 3;
    for (int y = 0; y < frame.rows; ++y) {
        const uchar* a = source.ptr<uchar>(maps.rows[y]);
        uchar* out = frame.ptr<uchar>(y);
        const unsigned w = maps.rowWeights[y];
        if (w == 0) {
            std::copy(a, a + bytes, out);
            continue;
        }
        const uchar* b = source.ptr<uchar>(maps.rows[y] + 1);
        for (int i = 0; i < bytes; ++i)
            out[i] = static_cast<uchar>((a[i] * (256u - w) + b[i] * w + 128u) >> 8);
    }
}

// The fish-eye's circle fills the picture's shorter side; it shows the circle of the picture
// that it covers, magnified in the middle and crowded at the rim (an equidistant lens).
void BuildFishEye(Maps& maps, cv::Size size)
{
    const double cx = (size.width - 1) / 2.0;
    const double cy = (size.height - 1) / 2.0;
    const double radius = std::min(size.width, size.height) / 2.0;
    const int left = std::max(0, static_cast<int>(std::floor(cx - radius)));
    const int right = std::min(size.width, static_cast<int>(std::ceil(cx + radius)) + 1);
    const int top = std::max(0, static_cast<int>(std::floor(cy - radius)));
    const int bottom = std::min(size.height, static_cast<int>(std::ceil(cy + radius)) + 1);
    maps.area = cv::Rect(left, top, right - left, bottom - top);
    constexpr double field = 1.1; // half the lens's view, in radians
    const double scale = radius / std::tan(field);
    cv::Mat mapX(maps.area.size(), CV_32FC1);
    cv::Mat mapY(maps.area.size(), CV_32FC1);
    for (int y = 0; y < mapX.rows; ++y) {
        float* mx = mapX.ptr<float>(y);
        float* my = mapY.ptr<float>(y);
        const double dy = top + y - cy;
        for (int x = 0; x < mapX.cols; ++x) {
            const double dx = left + x - cx;
            const double r = std::hypot(dx, dy);
            if (r > radius) {
                mx[x] = my[x] = -16; // off the picture: black
                continue;
            }
            const double s = r > 0 ? scale * std::tan(field * r / radius) / r : scale * field / radius;
            // Taken in the area's own coordinates; the source circle lies within the area.
            mx[x] = static_cast<float>(std::clamp(cx + dx * s - left, 0.0, maps.area.width - 1.0));
            my[x] = static_cast<float>(std::clamp(cy + dy * s - top, 0.0, maps.area.height - 1.0));
        }
    }
    StoreMaps(maps, mapX, mapY);
    maps.bands = EllipseBands({ cx - left, cy - top }, radius, radius, cv::Rect(0, 0, mapX.cols, mapX.rows));
}

// Maps for the left ceil(w / 2) columns, in picture coordinates; the right half is their mirror
// image, which the segments' symmetry about the upright line through the centre makes exact.
void BuildKaleidoscope(Maps& maps, cv::Size size)
{
    const double cx = (size.width - 1) / 2.0;
    const double cy = (size.height - 1) / 2.0;
    const int left = (size.width + 1) / 2;
    maps.area = cv::Rect(0, 0, left, size.height);
    cv::Mat mapX(size.height, left, CV_32FC1);
    cv::Mat mapY(size.height, left, CV_32FC1);
    constexpr double segment = kPi / 3;
    for (int y = 0; y < size.height; ++y) {
        float* mx = mapX.ptr<float>(y);
        float* my = mapY.ptr<float>(y);
        const double dy = y - cy;
        for (int x = 0; x < left; ++x) {
            const double dx = x - cx;
            const double r = std::hypot(dx, dy);
            // Clockwise from straight up, folded into the first segment: every other one mirrored.
            double angle = std::atan2(dx, -dy);
            angle = std::fmod(angle + 2 * kPi, 2 * segment);
            if (angle > segment)
                angle = 2 * segment - angle;
            const double from = angle - segment / 2; // the wedge of ±30° above the centre
            mx[x] = Reflect(static_cast<float>(cx + r * std::sin(from)), size.width);
            my[x] = Reflect(static_cast<float>(cy - r * std::cos(from)), size.height);
        }
    }
    // The nearest pixel: the segments turn the picture without scaling it, where that looks as
    // good as blending four, and it costs a third as much.
    cv::convertMaps(mapX, mapY, maps.xy, cv::noArray(), CV_16SC2, true);
}

constexpr double kTunnelRadius = 0.32; // of the shorter side

void BuildLightTunnel(Maps& maps, cv::Size size)
{
    const double cx = (size.width - 1) / 2.0;
    const double cy = (size.height - 1) / 2.0;
    const double ring = kTunnelRadius * std::min(size.width, size.height);
    const double farthest = std::hypot(cx, cy) + 1;
    const int samples = std::clamp(static_cast<int>(std::ceil(2 * kPi * farthest)), 8, 65535);

    maps.angles.create(size, CV_16UC1);
    maps.insideBegin.assign(size.height, 0);
    maps.insideEnd.assign(size.height, 0);
    for (int y = 0; y < size.height; ++y) {
        std::uint16_t* angle = maps.angles.ptr<std::uint16_t>(y);
        const double dy = y - cy;
        int begin = size.width;
        int end = size.width;
        for (int x = 0; x < size.width; ++x) {
            const double dx = x - cx;
            if (dx * dx + dy * dy < ring * ring) {
                if (begin == size.width)
                    begin = x;
                end = x + 1;
                angle[x] = 0;
                continue;
            }
            const double turn = std::atan2(dy, dx) / (2 * kPi); // −½ … ½
            angle[x] = static_cast<std::uint16_t>(static_cast<int>(std::lround(turn * samples + samples)) % samples);
        }
        if (begin == size.width)
            end = begin = 0; // a row that misses the circle: all of it is streaks
        maps.insideBegin[y] = begin;
        maps.insideEnd[y] = end;
    }

    // Sample the circle a little inside its rim, where the pixels stay.
    cv::Mat rimX(1, samples, CV_32FC1);
    cv::Mat rimY(1, samples, CV_32FC1);
    const double at = std::max(0.0, ring - 1.5);
    for (int k = 0; k < samples; ++k) {
        const double a = 2 * kPi * k / samples;
        rimX.at<float>(k) = static_cast<float>(cx + at * std::cos(a));
        rimY.at<float>(k) = static_cast<float>(cy + at * std::sin(a));
    }
    cv::convertMaps(rimX, rimY, maps.rimXY, maps.rimFraction, CV_16SC2);
}

} // namespace

void ApplyBulge(cv::Mat& frame, FunMapCache& cache)
{
    const int r = MiddleLensRadius(frame);
    ApplyLens(frame, cache, MirrorKind::Bulge, Rounded(Middle(frame)), { r, r }, BulgeProfile);
}

void ApplyPinch(cv::Mat& frame, FunMapCache& cache)
{
    const int r = MiddleLensRadius(frame);
    ApplyLens(frame, cache, MirrorKind::Pinch, Rounded(Middle(frame)), { r, r }, PinchProfile);
}

void ApplyTwirl(cv::Mat& frame, FunMapCache& cache)
{
    const int r = MiddleLensRadius(frame);
    ApplyLens(frame, cache, MirrorKind::Twirl, Rounded(Middle(frame)), { r, r }, TwirlProfile);
}

void ApplyStretch(cv::Mat& frame, FunMapCache& cache)
{
    ApplyRows(frame, cache, MirrorKind::Stretch, StretchRows);
}

void ApplySqueeze(cv::Mat& frame, FunMapCache& cache)
{
    ApplyRows(frame, cache, MirrorKind::Squeeze, SqueezeRows);
}

void ApplyFishEye(cv::Mat& frame, FunMapCache& cache)
{
    CheckFrame(frame);
    if (frame.empty())
        return;
    const Maps& maps = cache.Get(MirrorKind::FishEye, Key { frame.size(), Rounded(Middle(frame)), {} },
        [&](Maps& m) { BuildFishEye(m, frame.size()); });
    cv::Mat& source = cache.Scratch();
    frame(maps.area).copyTo(source);
    // Black everywhere but the circle's bands, which the lens then fills.
    const cv::Scalar black = cv::Scalar::all(0);
    int done = 0; // rows of the picture made black or filled so far
    for (const cv::Rect& band : maps.bands) {
        const cv::Rect part = band + maps.area.tl();
        frame.rowRange(done, part.y).setTo(black);
        frame(cv::Rect(0, part.y, part.x, part.height)).setTo(black);
        frame(cv::Rect(part.br().x, part.y, frame.cols - part.br().x, part.height)).setTo(black);
        cv::Mat target = frame(part);
        cv::remap(source, target, maps.xy(band), maps.fraction(band), cv::INTER_LINEAR, cv::BORDER_CONSTANT, black);
        done = part.br().y;
    }
    frame.rowRange(done, frame.rows).setTo(black);
}

void ApplyMirrorLeft(cv::Mat& frame)
{
    CheckFrame(frame);
    const int half = frame.cols / 2;
    // A pixel loop: cv::flip moves three-byte pixels a byte at a time.
    for (int y = 0; y < frame.rows; ++y) {
        cv::Vec3b* row = frame.ptr<cv::Vec3b>(y);
        cv::Vec3b* last = row + frame.cols - 1;
        for (int x = 0; x < half; ++x)
            last[-x] = row[x];
    }
}

void ApplyKaleidoscope(cv::Mat& frame, FunMapCache& cache)
{
    CheckFrame(frame);
    if (frame.empty())
        return;
    const Maps& maps = cache.Get(MirrorKind::Kaleidoscope, Key { frame.size(), Rounded(Middle(frame)), {} },
        [&](Maps& m) { BuildKaleidoscope(m, frame.size()); });
    cv::Mat& source = cache.Scratch();
    frame.copyTo(source);
    cv::Mat left = frame(maps.area);
    cv::remap(source, left, maps.xy, cv::noArray(), cv::INTER_NEAREST, cv::BORDER_REFLECT_101);
    ApplyMirrorLeft(frame);
}

void ApplyLightTunnel(cv::Mat& frame, FunMapCache& cache)
{
    CheckFrame(frame);
    if (frame.empty())
        return;
    const Maps& maps = cache.Get(MirrorKind::LightTunnel, Key { frame.size(), Rounded(Middle(frame)), {} },
        [&](Maps& m) { BuildLightTunnel(m, frame.size()); });

    // The rim's colours, softened along the circle so single pixels do not streak, each in a
    // 4-byte word (the fourth byte unused) so that a pixel is written with one store.
    thread_local cv::Mat rim;
    thread_local std::vector<std::uint32_t> soft;
    cv::remap(frame, rim, maps.rimXY, maps.rimFraction, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    const int n = rim.cols;
    soft.resize(n);
    const cv::Vec3b* sharp = rim.ptr<cv::Vec3b>(0);
    constexpr int reach = 2;
    for (int k = 0; k < n; ++k) {
        int sum[3] = { 0, 0, 0 };
        for (int d = -reach; d <= reach; ++d) {
            const cv::Vec3b& p = sharp[((k + d) % n + n) % n];
            for (int c = 0; c < 3; ++c)
                sum[c] += p[c];
        }
        std::uint8_t bytes[4] = { 0, 0, 0, 0 };
        for (int c = 0; c < 3; ++c)
            bytes[c] = static_cast<std::uint8_t>((sum[c] + reach) / (2 * reach + 1));
        std::memcpy(&soft[k], bytes, 4);
    }

    // Left to right, each store's fourth byte is the next pixel's first and is written again with
    // it; a run's last pixel gets its three bytes only, so nothing past the run changes.
    auto fill = [&](uchar* out, const std::uint16_t* angle, int begin, int end) {
        if (begin >= end)
            return;
        for (int x = begin; x + 1 < end; ++x)
            std::memcpy(out + 3 * x, &soft[angle[x]], 4);
        std::memcpy(out + 3 * (end - 1), &soft[angle[end - 1]], 3);
    };
    for (int y = 0; y < frame.rows; ++y) {
        const std::uint16_t* angle = maps.angles.ptr<std::uint16_t>(y);
        uchar* out = frame.ptr<uchar>(y);
        fill(out, angle, 0, maps.insideBegin[y]);
        fill(out, angle, maps.insideEnd[y], frame.cols);
    }
}

void ApplyBigHead(cv::Mat& frame, FunMapCache& cache, const std::optional<FunFace>& face)
{
    CheckFrame(frame);
    if (frame.empty())
        return;
    // The face box spans forehead to chin; the lens reaches past it to take in the hair.
    const int r = FaceLength(frame, face, 1.1f, 0.3f);
    ApplyLens(frame, cache, MirrorKind::BigHead, FaceCentre(frame, face), { r, r }, BulgeProfile);
}

void ApplyThinFace(cv::Mat& frame, FunMapCache& cache, const std::optional<FunFace>& face)
{
    CheckFrame(frame);
    if (frame.empty())
        return;
    const int a = FaceLength(frame, face, 0.75f, 0.24f);
    const int b = FaceLength(frame, face, 1.0f, 0.32f);
    ApplyLens(frame, cache, MirrorKind::ThinFace, FaceCentre(frame, face), { a, b }, ThinProfile);
}
