#include "pipeline/stages/FunLooks.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using Palette = std::array<cv::Vec3b, 256>;

void CheckFrame(const cv::Mat& frame)
{
    CV_Assert(frame.empty() || frame.type() == CV_8UC3);
}

struct Stop {
    double at;         // 0 … 1
    double r, g, b;    // 0 … 255
};

// A palette through colour stops, linear between them.
template <std::size_t N>
Palette Gradient(const std::array<Stop, N>& stops)
{
    Palette palette {};
    for (int i = 0; i < 256; ++i) {
        const double t = i / 255.0;
        std::size_t k = 1;
        while (k + 1 < N && stops[k].at < t)
            ++k;
        const Stop& a = stops[k - 1];
        const Stop& b = stops[k];
        const double f = std::clamp((t - a.at) / (b.at - a.at), 0.0, 1.0);
        palette[i] = cv::Vec3b(cv::saturate_cast<uchar>(a.b + (b.b - a.b) * f),
            cv::saturate_cast<uchar>(a.g + (b.g - a.g) * f), cv::saturate_cast<uchar>(a.r + (b.r - a.r) * f));
    }
    return palette;
}

// Every pixel replaced by the palette's colour for its grey level.
void PaintGreyThrough(cv::Mat& frame, const Palette& palette)
{
    thread_local cv::Mat grey;
    cv::cvtColor(frame, grey, cv::COLOR_BGR2GRAY);
    for (int y = 0; y < frame.rows; ++y) {
        const uchar* g = grey.ptr<uchar>(y);
        cv::Vec3b* out = frame.ptr<cv::Vec3b>(y);
        for (int x = 0; x < frame.cols; ++x)
            out[x] = palette[g[x]];
    }
}

const Palette& ThermalPalette()
{
    static const Palette palette = Gradient(std::array<Stop, 7> { {
        { 0.00, 0, 0, 12 },
        { 0.15, 30, 0, 110 },
        { 0.35, 150, 0, 150 },
        { 0.55, 230, 50, 40 },
        { 0.75, 255, 150, 0 },
        { 0.90, 255, 230, 60 },
        { 1.00, 255, 255, 235 },
    } });
    return palette;
}

const Palette& XRayPalette()
{
    static const Palette palette = [] {
        Palette p {};
        for (int g = 0; g < 256; ++g) {
            // Inverted, and a little more contrast so bones (bright things) come out dark and the
            // background glows.
            const double v = std::clamp((255 - g - 24) * 1.2, 0.0, 255.0);
            p[g] = cv::Vec3b(cv::saturate_cast<uchar>(24 + 0.92 * v), cv::saturate_cast<uchar>(6 + 0.8 * v),
                cv::saturate_cast<uchar>(0.6 * v));
        }
        return p;
    }();
    return palette;
}

// Each pixel of small drawn factor × factor into frame, which is at most that large (its last
// row and column of blocks may be cut).
void Enlarge(const cv::Mat& small, int factor, cv::Mat& frame)
{
    if (factor == 1) {
        small(cv::Rect(0, 0, frame.cols, frame.rows)).copyTo(frame);
        return;
    }
    static_assert(std::endian::native == std::endian::little, "pixels are moved as little-endian words");
    if (factor == 2 && small.cols >= 2) {
        // Each small pixel written twice with one 8-byte store (its last 2 bytes overwritten by the
        // next pixel's), the last pair and an odd last pixel byte by byte; then the row again below.
        const int pairs = frame.cols / 2;
        for (int y = 0; y < frame.rows; y += 2) {
            const uchar* in = small.ptr<uchar>(y / 2);
            uchar* out = frame.ptr<uchar>(y);
            for (int k = 0; k + 1 < pairs; ++k) {
                std::uint32_t p;
                std::memcpy(&p, in + 3 * k, 4); // the fourth byte is the next pixel's
                const std::uint64_t pixel = p & 0xFFFFFFu;
                const std::uint64_t twice = pixel | pixel << 24;
                std::memcpy(out + 6 * k, &twice, 8);
            }
            for (int x = 2 * (pairs - 1); x < frame.cols; ++x)
                std::memcpy(out + 3 * x, in + 3 * (x / 2), 3);
            if (y + 1 < frame.rows)
                std::memcpy(frame.ptr<uchar>(y + 1), out, static_cast<std::size_t>(frame.cols) * 3);
        }
        return;
    }
    for (int y = 0; y < frame.rows; y += factor) {
        const cv::Vec3b* in = small.ptr<cv::Vec3b>(y / factor);
        cv::Vec3b* out = frame.ptr<cv::Vec3b>(y);
        for (int x = 0; x < frame.cols; x += factor) {
            const cv::Vec3b p = in[x / factor];
            for (int k = x; k < std::min(frame.cols, x + factor); ++k)
                out[k] = p;
        }
        for (int k = y + 1; k < std::min(frame.rows, y + factor); ++k)
            std::copy(out, out + frame.cols, frame.ptr<cv::Vec3b>(k));
    }
}

// Inclusive splitmix64: a seed and a frame number (and what is drawn) to a well-stirred number.
std::uint64_t Mix(std::uint64_t a, std::uint64_t b, std::uint64_t c = 0)
{
    std::uint64_t z = a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull) * 0xBF58476D1CE4E5B9ull ^ c;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // namespace

void ApplyThermal(cv::Mat& frame)
{
    CheckFrame(frame);
    if (!frame.empty())
        PaintGreyThrough(frame, ThermalPalette());
}

void ApplyXRay(cv::Mat& frame)
{
    CheckFrame(frame);
    if (!frame.empty())
        PaintGreyThrough(frame, XRayPalette());
}

void ApplyComic(cv::Mat& frame)
{
    CheckFrame(frame);
    if (frame.empty())
        return;
    // Colours and ink are found on a half-size copy (smoother, and a quarter of the work); the ink
    // comes out two pixels wide, as a pen's would.
    const int factor = std::min(frame.cols, frame.rows) >= 540 ? 2 : 1;
    const cv::Size smallSize((frame.cols + factor - 1) / factor, (frame.rows + factor - 1) / factor);
    thread_local cv::Mat small;
    thread_local cv::Mat grey;
    thread_local cv::Mat ink;
    cv::resize(frame, small, smallSize, 0, 0, cv::INTER_AREA);
    cv::cvtColor(small, grey, cv::COLOR_BGR2GRAY);
    if (factor == 1) // halving already evens out the camera's noise
        cv::blur(grey, grey, cv::Size(3, 3));
    // Paper (255) where a pixel is no darker than its neighbourhood by more than 5; ink (0) on the
    // dark side of every edge and along dark lines.
    cv::adaptiveThreshold(grey, ink, 255, cv::ADAPTIVE_THRESH_MEAN_C, cv::THRESH_BINARY, 9, 5);

    // Five flat levels per channel.
    static const std::array<uchar, 256> levels = [] {
        std::array<uchar, 256> l {};
        for (int v = 0; v < 256; ++v)
            l[v] = static_cast<uchar>(std::lround(std::round(v / 63.75) * 63.75));
        return l;
    }();
    // The drawing at the small size, then each of its pixels drawn factor × factor.
    for (int y = 0; y < small.rows; ++y) {
        cv::Vec3b* colour = small.ptr<cv::Vec3b>(y);
        const uchar* paper = ink.ptr<uchar>(y);
        for (int x = 0; x < small.cols; ++x) {
            const cv::Vec3b c = colour[x];
            colour[x] = paper[x] ? cv::Vec3b(levels[c[0]], levels[c[1]], levels[c[2]]) : cv::Vec3b(0, 0, 0);
        }
    }
    Enlarge(small, factor, frame);
}

void ApplyPop(cv::Mat& frame)
{
    CheckFrame(frame);
    if (frame.empty())
        return;
    // Dark, middle and light tones of each quarter (RGB), read left to right, top to bottom.
    static const std::array<std::array<Stop, 3>, 4> colourings = { {
        { { { 0, 20, 30, 110 }, { 0, 240, 70, 150 }, { 0, 255, 230, 40 } } },
        { { { 0, 70, 20, 90 }, { 0, 255, 140, 0 }, { 0, 80, 230, 240 } } },
        { { { 0, 0, 90, 60 }, { 0, 230, 40, 50 }, { 0, 255, 190, 210 } } },
        { { { 0, 10, 10, 10 }, { 0, 30, 120, 255 }, { 0, 190, 255, 60 } } },
    } };
    static const std::array<Palette, 4> palettes = [] {
        std::array<Palette, 4> p {};
        for (int q = 0; q < 4; ++q)
            for (int g = 0; g < 256; ++g) {
                const Stop& s = colourings[q][g < 80 ? 0 : g < 150 ? 1 : 2];
                p[q][g] = cv::Vec3b(static_cast<uchar>(s.b), static_cast<uchar>(s.g), static_cast<uchar>(s.r));
            }
        return p;
    }();

    const int leftWidth = (frame.cols + 1) / 2;
    const int topHeight = (frame.rows + 1) / 2;
    thread_local cv::Mat small;
    thread_local cv::Mat grey;
    cv::resize(frame, small, cv::Size(leftWidth, topHeight), 0, 0, cv::INTER_AREA);
    cv::cvtColor(small, grey, cv::COLOR_BGR2GRAY);
    const cv::Rect quarters[4] = {
        { 0, 0, leftWidth, topHeight },
        { leftWidth, 0, frame.cols - leftWidth, topHeight },
        { 0, topHeight, leftWidth, frame.rows - topHeight },
        { leftWidth, topHeight, frame.cols - leftWidth, frame.rows - topHeight },
    };
    for (int q = 0; q < 4; ++q) {
        const cv::Rect& r = quarters[q];
        for (int y = 0; y < r.height; ++y) {
            const uchar* g = grey.ptr<uchar>(y);
            cv::Vec3b* out = frame.ptr<cv::Vec3b>(r.y + y) + r.x;
            for (int x = 0; x < r.width; ++x)
                out[x] = palettes[q][g[x]];
        }
    }
}

int MosaicBlock(cv::Size size)
{
    return std::max(2, static_cast<int>(std::lround(std::min(size.width, size.height) / 32.0)));
}

void ApplyMosaic(cv::Mat& frame)
{
    CheckFrame(frame);
    if (frame.empty())
        return;
    const int block = MosaicBlock(frame.size());
    const int across = (frame.cols + block - 1) / block;
    thread_local std::vector<std::uint32_t> columns;
    thread_local std::vector<std::uint32_t> sums;
    thread_local std::vector<cv::Vec3b> means;
    const int bytes = frame.cols * 3;
    columns.resize(bytes);
    sums.resize(static_cast<std::size_t>(across) * 3);
    means.resize(across);
    for (int top = 0; top < frame.rows; top += block) {
        const int bottom = std::min(frame.rows, top + block);
        // Each sample's column summed over the block's rows (a plain run the compiler vectorises),
        // then each block's columns.
        std::fill(columns.begin(), columns.end(), 0u);
        for (int y = top; y < bottom; ++y) {
            const uchar* __restrict p = frame.ptr<uchar>(y);
            std::uint32_t* __restrict sum = columns.data();
            for (int i = 0; i < bytes; ++i)
                sum[i] += p[i];
        }
        std::fill(sums.begin(), sums.end(), 0u);
        for (int x = 0; x < frame.cols; ++x) {
            const int b = x / block;
            for (int c = 0; c < 3; ++c)
                sums[b * 3 + c] += columns[x * 3 + c];
        }
        // Blocks at the right and bottom edges may be narrower: each is the mean of its own pixels.
        for (int b = 0; b < across; ++b) {
            const std::uint32_t count = static_cast<std::uint32_t>((std::min(frame.cols, (b + 1) * block) - b * block) * (bottom - top));
            for (int c = 0; c < 3; ++c)
                means[b][c] = static_cast<uchar>((sums[b * 3 + c] + count / 2) / count);
        }
        cv::Vec3b* first = frame.ptr<cv::Vec3b>(top);
        for (int b = 0; b < across; ++b)
            std::fill(first + b * block, first + std::min(frame.cols, (b + 1) * block), means[b]);
        for (int y = top + 1; y < bottom; ++y)
            std::copy(first, first + frame.cols, frame.ptr<cv::Vec3b>(y));
    }
}

const cv::Mat& OldFilmState::Grain(int width)
{
    if (grain_.empty() || grain_.cols != width + 256) {
        cv::Mat tile(256, 256, CV_8SC1);
        cv::RNG rng(Mix(seed_, 0x6772616Eull));
        rng.fill(tile, cv::RNG::NORMAL, 0, 9);
        grain_.create(256, width + 256, CV_8SC1);
        for (int x = 0; x < grain_.cols; x += 256) {
            const int w = std::min(256, grain_.cols - x);
            tile.colRange(0, w).copyTo(grain_.colRange(x, x + w));
        }
    }
    return grain_;
}

void ApplyOldFilm(cv::Mat& frame, OldFilmState& state, std::int64_t frameNumber)
{
    CheckFrame(frame);
    if (frame.empty())
        return;
    const std::uint64_t frameKey = static_cast<std::uint64_t>(frameNumber);
    cv::RNG rng(Mix(state.Seed(), frameKey, 1));

    // The flicker: each frame a little darker or lighter than the last, now and then much darker.
    double gain = 0.9 + 0.1 * rng.uniform(0.0, 1.0);
    if (rng.uniform(0, 12) == 0)
        gain *= 0.85;
    // Sepia, from dark brown (level 0) to cream (level 255), through the flicker: per channel
    // (start × 256 + slope × level) / 256, as 16-bit coefficients repeated along a row.
    constexpr int dark[3] = { 14, 26, 42 };     // blue, green, red
    constexpr int light[3] = { 200, 236, 250 };
    thread_local std::vector<std::uint16_t> start, slope;
    start.resize(static_cast<std::size_t>(frame.cols) * 3);
    slope.resize(start.size());
    for (int c = 0; c < 3; ++c) {
        const auto s0 = static_cast<std::uint16_t>(dark[c] * 256);
        const auto s1 = static_cast<std::uint16_t>(std::lround((light[c] - dark[c]) * gain));
        for (int x = 0; x < frame.cols; ++x) {
            start[x * 3 + c] = s0;
            slope[x * 3 + c] = s1;
        }
    }

    // A darker rim: a gain per column and per row (of 256), their product at each pixel.
    thread_local std::vector<int> across, down;
    across.resize(frame.cols);
    down.resize(frame.rows);
    auto rim = [](int i, int n) {
        const double u = n > 1 ? 2.0 * i / (n - 1) - 1 : 0;
        return static_cast<int>(std::lround(256 * (1 - 0.28 * u * u)));
    };
    for (int x = 0; x < frame.cols; ++x)
        across[x] = rim(x, frame.cols);
    for (int y = 0; y < frame.rows; ++y)
        down[y] = rim(y, frame.rows);

    const cv::Mat& grain = state.Grain(frame.cols);
    const int shiftX = rng.uniform(0, 256);
    const int shiftY = rng.uniform(0, 256);
    thread_local cv::Mat grey;
    thread_local std::vector<std::uint16_t> gains;
    gains.resize(frame.cols);
    cv::cvtColor(frame, grey, cv::COLOR_BGR2GRAY);
    const int cols = frame.cols; // a local bound: the byte stores below could alias the frame's
    // The level of each pixel: its grey through the darker rim, plus the grain. Plain loops over
    // runs, which the compiler turns into vector code.
    for (int y = 0; y < frame.rows; ++y) {
        uchar* __restrict g = grey.ptr<uchar>(y);
        const schar* __restrict noise = grain.ptr<schar>((y + shiftY) & 255) + shiftX;
        std::uint16_t* __restrict rowGains = gains.data();
        const int rowGain = down[y];
        for (int x = 0; x < cols; ++x)
            rowGains[x] = static_cast<std::uint16_t>((across[x] * rowGain) >> 8);
        for (int x = 0; x < cols; ++x) {
            int v = ((g[x] * rowGains[x]) >> 8) + noise[x];
            v = v < 0 ? 0 : v;
            g[x] = static_cast<uchar>(v > 255 ? 255 : v);
        }
    }
    cv::cvtColor(grey, frame, cv::COLOR_GRAY2BGR);
    const int bytes = frame.cols * 3;
    for (int y = 0; y < frame.rows; ++y) {
        uchar* __restrict p = frame.ptr<uchar>(y);
        const std::uint16_t* __restrict s0 = start.data();
        const std::uint16_t* __restrict s1 = slope.data();
        for (int i = 0; i < bytes; ++i)
            p[i] = static_cast<uchar>((s0[i] + s1[i] * p[i]) >> 8);
    }

    // Scratches: up to two, each lasting eight frames and wandering a pixel or two meanwhile.
    const int thick = std::max(1, frame.cols / 900);
    const std::int64_t reel = frameNumber >= 0 ? frameNumber / 8 : (frameNumber - 7) / 8;
    cv::RNG scratches(Mix(state.Seed(), static_cast<std::uint64_t>(reel), 2));
    const int count = scratches.uniform(0, 3);
    for (int s = 0; s < count; ++s) {
        const int x = scratches.uniform(0, frame.cols) + rng.uniform(-2, 3);
        const int from = scratches.uniform(0, std::max(1, frame.rows / 2));
        const int to = from + scratches.uniform(frame.rows / 3, frame.rows + 1);
        const bool light = scratches.uniform(0, 3) != 0;
        cv::line(frame, { x, from }, { x, to }, light ? cv::Scalar(200, 236, 250) : cv::Scalar(20, 30, 40), thick);
    }
    // Dust: a few specks, new every frame.
    const int specks = rng.uniform(0, 5);
    const int speckSize = std::max(1, std::min(frame.cols, frame.rows) / 300);
    for (int s = 0; s < specks; ++s) {
        const cv::Point at(rng.uniform(0, frame.cols), rng.uniform(0, frame.rows));
        const int size = rng.uniform(speckSize, 2 * speckSize + 1);
        cv::circle(frame, at, size, rng.uniform(0, 2) ? cv::Scalar(12, 18, 24) : cv::Scalar(200, 236, 250), cv::FILLED);
    }
}
